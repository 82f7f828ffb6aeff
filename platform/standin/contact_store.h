// The contact store stand-in's objects: an application object that logs on
// by reading a vCard file, its contacts folder, the folder's item collection
// and the contacts in it (platform/contacts.h). Portable, so that reference
// counts and failure exits are tested natively; the host platform supplies
// the file, the "Fail" knob and the texts' allocator.
#pragma once

#include <cstdint>
#include <string>

#include "platform/contacts.h"

namespace standin {

struct ContactStoreHost {
  // Reads the vCard file: S_OK with its bytes, or why it cannot be read.
  plat::HRESULT (*readStore)(std::string* bytes);
  // The "Fail" knob's value now (contact_failures.h); empty when unset.
  std::u16string (*failKnob)();
  // A copy of `length` units of `text` that plat::SysFreeString frees;
  // null when there is no memory for it.
  plat::BSTR (*allocText)(const char16_t* text, uint32_t length);
};

// Results beyond those of platform/ that the stand-in gives.
constexpr plat::HRESULT kInvalidArg = static_cast<plat::HRESULT>(0x80070057u);
constexpr plat::HRESULT kOutOfMemory = static_cast<plat::HRESULT>(0x8007000Eu);
constexpr plat::HRESULT kInvalidData = static_cast<plat::HRESULT>(0x8007000Du);
constexpr plat::HRESULT kClassNotRegistered =
    static_cast<plat::HRESULT>(0x80040154u);
constexpr plat::HRESULT kNoAggregation = static_cast<plat::HRESULT>(0x80040110u);

// CoCreateInstance for the stand-in's one class: CLSID_Application as an
// in-process server, asked for IID_IPOutlookApp (or IUnknown), without an
// outer object. *object gets the new object with one reference, or null.
// `host` must outlive every object made from it.
plat::HRESULT createApplication(const ContactStoreHost* host,
                                const plat::GUID& clsid,
                                plat::IUnknown* outer, uint32_t context,
                                const plat::GUID& iid, void** object);

// The objects alive now, of every kind: 0 once each was released.
long liveObjects();

}  // namespace standin
