// The vCard reader: exports of the shapes different tools write, the rules
// for numbers, names and categories, and damaged input.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/standin/contact_text.h"

namespace {

using standin_test::contact;
using standin_test::readAll;
using standin_test::sourceFile;
using Contacts = std::vector<vcard::Contact>;

struct FixtureCase {
  const char* file;
  Contacts expected;
};

std::vector<FixtureCase> fixtures() {
  return {
      {"tests/fixtures/vcard/phone-2.1.vcf",
       {
           contact({"Jonas", "Brandt", "+49 30 1234567", "", "030 5550100",
                    "030 5550101", "0170 1112223", "", "Work"}),
           contact({"J\u00fcrgen", "M\u00fcller-L\u00fcdenscheidt", "", "",
                    "", "", "+49 171 9876543", "", "Family,Friends"}),
           contact({"Bj\u00f6rn", "Ljungstr\u00f6m", "+46 8 200 300"}),
           // A third HOME and an untyped number fill the fields left free;
           // the pager is no voice number.
           contact({"Ada", "Okafor", "111", "222", "333", "666", "", "444"}),
           // The AGENT's embedded card is neither a contact nor merged.
           contact({"L\u00facia", "Ferreira", "", "", "", "",
                    "+351 912 345 678", "", "Friends"}),
           contact({"Ren\u00e9", "Mor\u00e9no", "", "", "+33 1 44 55 66 77"}),
       }},
      {"tests/fixtures/vcard/address-book-3.0.vcf",
       {
           contact({"Anna-Karin", "Lindqvist", "+46 8 765 43 21",
                    "+46 8 111 22 35", "+46 8 111 22 33", "+46 8 111 22 34",
                    "+46 70 123 45 67", "", "Work,Friends,old,Family"}),
           contact({"Maarten Jan", "van der Berg", "+31 20 555 0123", "", "",
                    "", "+31 6 12345678", "", "Family"}),
           contact({"", "", "", "", "+49 89 4445556"}),
           contact({"", "", "", "", "089 21610"}),
           contact({"Robert", "Smith, Jr.", "+1 202 555 0149", "", "", "",
                    "+1 202 555 0147", "", "Work,Golf club"}),
       }},
      {"tests/fixtures/vcard/webmail-4.0.vcf",
       {
           contact({"\u0414\u043c\u0438\u0442\u0440\u0438\u0439",
                    "\u0418\u0432\u0430\u043d\u043e\u0432", "+7-495-000-00-00",
                    "", "+7-495-123-45-67", "", "+7-912-345-67-89", "",
                    "\u0414\u0440\u0443\u0437\u044c\u044f,Work"}),
           contact({"\u592a\u90ce", "\u5c71\u7530", "+81-3-1234-5678", "", "",
                    "", "", "+81-90-0000-1111", "Family"}),
           contact({"Siobh\u00e1n", "\u00d3 S\u00failleabh\u00e1in",
                    "+353-1-555-0001", "+353-87-555-0002"}),
           contact({"Min-jun \U0001F33B", "Park", "", "", "", "",
                    "+82 10 1234 5678"}),
       }},
  };
}

TEST(VCard, ReadsExportsOfDifferentTools) {
  for (const FixtureCase& f : fixtures()) {
    const std::string bytes = sourceFile(f.file);
    ASSERT_FALSE(bytes.empty()) << f.file;
    bool valid = false;
    EXPECT_EQ(readAll(bytes, &valid), f.expected) << f.file;
    EXPECT_TRUE(valid) << f.file;
  }
}

TEST(VCard, TheSampleStoreHasNamedContactsCategoriesAndAForeignNumber) {
  bool valid = false;
  const Contacts all = readAll(sourceFile("resources/contacts.vcf"), &valid);
  ASSERT_TRUE(valid);
  ASSERT_GE(all.size(), 8u);
  size_t organisations = 0, foreign = 0;
  for (const vcard::Contact& c : all) {
    const std::u16string numbers[] = {c.home,      c.home2,  c.business,
                                      c.business2, c.mobile, c.car};
    size_t count = 0;
    for (const std::u16string& n : numbers) {
      count += !n.empty();
      foreign += n.find(u'+') != std::u16string::npos;
    }
    EXPECT_GE(count, 1u);
    if (c.firstName.empty() && c.lastName.empty()) {
      ++organisations;
    } else {
      EXPECT_GE(count, 2u) << vcard::utf8(c.lastName);
    }
  }
  EXPECT_EQ(organisations, 1u);
  EXPECT_GE(foreign, 1u);
  for (const char16_t* category : {u"Family", u"Work", u"Friends"}) {
    bool used = false;
    for (const vcard::Contact& c : all)
      used = used || c.categories.find(category) != std::u16string::npos;
    EXPECT_TRUE(used) << vcard::utf8(category);
  }
}

struct TextCase {
  const char* what;
  std::string bytes;
  bool valid;
  Contacts expected;
};

TEST(VCard, FileShapesAndDamage) {
  const TextCase cases[] = {
      {"an empty file", "", true, {}},
      {"white space and a byte order mark", "\xEF\xBB\xBF \r\n\t\n", true, {}},
      {"not a vCard file", "Name,Phone\r\nAnna,030 123\r\n", false, {}},
      {"a UTF-16 file is no vCard file",
       std::string("\xFF\xFE" "B\0E\0G\0I\0N\0:\0", 14), false, {}},
      {"lines outside cards",
       "END:VCARD\r\nN:Stray;One\r\nBEGIN:VCARD\r\nN:Kept;Two\r\nEND:VCARD\r\n"
       "TEL;HOME:1\r\n",
       true, {contact({"Two", "Kept"})}},
      {"a card without END before the next",
       "BEGIN:VCARD\nN:A;a\nTEL;CELL:1\nBEGIN:VCARD\nN:B;b\nEND:VCARD\n", true,
       {contact({"a", "A", "", "", "", "", "1"}), contact({"b", "B"})}},
      {"a card cut off by the end", "BEGIN:VCARD\nN:A;a\nTEL;CELL:1", true,
       {contact({"a", "A", "", "", "", "", "1"})}},
      {"a CR on its own ends lines",
       "BEGIN:VCARD\rVERSION:3.0\rN:Old;Mac\rTEL;HOME:5\rEND:VCARD\r", true,
       {contact({"Mac", "Old", "5"})}},
      {"lower case", "begin:vcard\nn:low;case\ntel;type=work:7\nend:vcard\n",
       true, {contact({"case", "low", "", "", "7"})}},
      {"a line without a colon is passed over",
       "BEGIN:VCARD\nN:A;a\n/9j/4AAQSkZJRg==\nTEL;HOME:1\nEND:VCARD\n", true,
       {contact({"a", "A", "1"})}},
      {"the first N counts",
       "BEGIN:VCARD\nN:First;One\nN:Second;Two\nEND:VCARD\n", true,
       {contact({"One", "First"})}},
      {"an empty N and no N give empty names",
       "BEGIN:VCARD\nN:\nTEL:1\nEND:VCARD\nBEGIN:VCARD\nORG:X\nEND:VCARD\n",
       true, {contact({"", "", "1"}), contact({})}},
      {"blanks around names and numbers",
       "BEGIN:VCARD\nN: Lee ;\tKim ;;;\nTEL;HOME:  \nTEL;HOME: 2 \nEND:VCARD\n",
       true, {contact({"Kim", "Lee", "2"})}},
      {"a literal = before a soft break and an empty line ends the value",
       "BEGIN:VCARD\r\nN;ENCODING=QUOTED-PRINTABLE:M=FCller==\r\n\r\n"
       "END:VCARD\r\nBEGIN:VCARD\r\nN:Berg;Anna\r\nEND:VCARD\r\n",
       true, {contact({"", "M\xc3\xbc" "ller="}), contact({"Anna", "Berg"})}},
  };
  for (const TextCase& c : cases) {
    bool valid = !c.valid;
    EXPECT_EQ(readAll(c.bytes, &valid), c.expected) << c.what;
    EXPECT_EQ(valid, c.valid) << c.what;
  }
}

TEST(VCard, EscapesFoldingAndEncodings) {
  const TextCase cases[] = {
      {"3.0 escapes",
       "BEGIN:VCARD\nVERSION:3.0\nN:O\\\\Brien\\;X\\:;Ann\\nMarie\\,Jo;;;\n"
       "END:VCARD\n",
       true, {contact({"Ann\nMarie,Jo", "O\\Brien;X:"})}},
      {"2.1 escapes only the semicolon",
       "BEGIN:VCARD\nVERSION:2.1\nN:C:\\dir\\;x\\n;y\nEND:VCARD\n", true,
       {contact({"y", "C:\\dir;x\\n"})}},
      {"2.1 folding keeps the blank",
       "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Van der\r\n Berg;Jan\r\nEND:VCARD\r\n",
       true, {contact({"Jan", "Van der Berg"})}},
      {"3.0 folding drops one blank",
       "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Van der\r\n  Berg;Ja\r\n\tn\r\n"
       "END:VCARD\r\n",
       true, {contact({"Jan", "Van der Berg"})}},
      {"a soft break keeps the blank after it",
       "BEGIN:VCARD\r\nVERSION:2.1\r\nN;ENCODING=QUOTED-PRINTABLE:Van der=\r\n"
       " Berg;Jan\r\nEND:VCARD\r\n",
       true, {contact({"Jan", "Van der Berg"})}},
      {"quoted-printable: bare parameter, lower-case hex, no escape",
       "BEGIN:VCARD\nVERSION:2.1\n"
       "N;QUOTED-PRINTABLE;CHARSET=UTF-8:M=c3=bcller=ZZ=;A=3D\nEND:VCARD\n",
       true, {contact({"A=", "M\u00fcller=ZZ="})}},
      {"a soft break at the end of the file",
       "BEGIN:VCARD\nN;ENCODING=QUOTED-PRINTABLE:Ab=", true,
       {contact({"", "Ab"})}},
      {"an equals sign ends a value that is not quoted-printable",
       "BEGIN:VCARD\nN:Ab=\n;x\nTEL;HOME:1\nEND:VCARD\n", true,
       {contact({"", "Ab=", "1"})}},
      {"windows-1252",
       "BEGIN:VCARD\nN;CHARSET=WINDOWS-1252;ENCODING=QUOTED-PRINTABLE:"
       "=80uro;=9Aime\nEND:VCARD\n",
       true, {contact({"\u0161ime", "\u20acuro"})}},
      {"ISO-8859-1 without quoted-printable",
       "BEGIN:VCARD\nN;CHARSET=ISO-8859-1:Gr\xFC\xDF;Z\xE9\nEND:VCARD\n",
       true, {contact({"Z\u00e9", "Gr\u00fc\u00df"})}},
      {"bytes that are not UTF-8 are windows-1252",
       "BEGIN:VCARD\nN:Gr\xFC\xDF;\x80\nEND:VCARD\n", true,
       {contact({"\u20ac", "Gr\u00fc\u00df"})}},
      {"overlong UTF-8 is not UTF-8", "BEGIN:VCARD\nN:\xC0\xAF;x\nEND:VCARD\n",
       true, {contact({"x", "\u00c0\u00af"})}},
      {"UTF-8 names the charset cannot change",
       "BEGIN:VCARD\nN;CHARSET=UTF-8:\xC5\xBB" "ak;\xD0\x96\nEND:VCARD\n", true,
       {contact({"\u0416", "\u017bak"})}},
      {"a group and a quoted parameter with a colon",
       "BEGIN:VCARD\nitem2.TEL;X-NOTE=\"a:b;c\";TYPE=CELL:+1\nEND:VCARD\n",
       true, {contact({"", "", "", "", "", "", "+1"})}},
  };
  for (const TextCase& c : cases) {
    bool valid = !c.valid;
    EXPECT_EQ(readAll(c.bytes, &valid), c.expected) << c.what;
    EXPECT_EQ(valid, c.valid) << c.what;
  }
}

// Which field a number lands in, by the parameters of its TEL line.
TEST(VCard, TelephoneTypes) {
  const struct {
    const char* params;
    const char* field;
  } cases[] = {
      {";HOME", "home"},
      {";HOME;VOICE", "home"},
      {";TYPE=home", "home"},
      {";TYPE=HOME,VOICE", "home"},
      {";type=home;type=voice", "home"},
      {";WORK", "business"},
      {";TYPE=work", "business"},
      {";CELL", "mobile"},
      {";TYPE=\"cell,voice\"", "mobile"},
      {";TYPE=WORK,CELL", "mobile"},
      {";CAR", "car"},
      {";TYPE=car,voice", "car"},
      // Without a usable type: the first free field.
      {"", "home"},
      {";VOICE", "home"},
      {";PREF", "home"},
      {";TYPE=X-OTHER", "home"},
      {";TYPE=text", "home"},
      {";TYPE=\"voice,fax\"", "home"},
      // Not for calls.
      {";FAX", "none"},
      {";TYPE=WORK,FAX", "none"},
      {";TYPE=PAGER", "none"},
  };
  for (const auto& c : cases) {
    const Contacts all = readAll(std::string("BEGIN:VCARD\nN:X;Y\nTEL") +
                                 c.params + ":123\nEND:VCARD\n");
    ASSERT_EQ(all.size(), 1u) << c.params;
    const vcard::Contact& k = all[0];
    std::string found = "none";
    const std::pair<const char*, const std::u16string*> fields[] = {
        {"home", &k.home},         {"home2", &k.home2},
        {"business", &k.business}, {"business2", &k.business2},
        {"mobile", &k.mobile},     {"car", &k.car}};
    for (const auto& f : fields)
      if (*f.second == u"123") found = f.first;
    EXPECT_EQ(found, c.field) << c.params;
  }
}

TEST(VCard, TelUris) {
  const struct {
    const char* value;
    const char16_t* number;
  } cases[] = {
      {"tel:+49-30-1234", u"+49-30-1234"},
      {"TEL:+49-30-1234", u"+49-30-1234"},
      {"tel:+1-202-555-0100;ext=55", u"+1-202-555-0100"},
      {"tel: 0301234 ", u"0301234"},
      {"+49 (30) 1234", u"+49 (30) 1234"},
      {"tel:", u""},
  };
  for (const auto& c : cases) {
    const Contacts all =
        readAll(std::string("BEGIN:VCARD\nVERSION:4.0\nN:X;Y\nTEL;VALUE=uri:") +
                c.value + "\nEND:VCARD\n");
    ASSERT_EQ(all.size(), 1u) << c.value;
    EXPECT_EQ(all[0].home, c.number) << c.value;
  }
}

TEST(VCard, Categories) {
  const struct {
    const char* lines;
    const char16_t* categories;
  } cases[] = {
      {"CATEGORIES:Family", u"Family"},
      {"CATEGORIES:Work, Friends", u"Work,Friends"},
      {"CATEGORIES:,a,,b,", u"a,b"},
      // An escaped comma separates too.
      {"CATEGORIES:Work\\,Team", u"Work,Team"},
      {"CATEGORIES:A;B", u"A,B"},
      {"CATEGORIES:A\nCATEGORIES:B,C", u"A,B,C"},
      {"CATEGORIES:", u""},
      {"CATEGORIES;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Fam=C3=ADlia,Obra",
       u"Fam\u00edlia,Obra"},
  };
  for (const auto& c : cases) {
    const Contacts all = readAll(std::string("BEGIN:VCARD\nN:X;Y\n") +
                                 c.lines + "\nEND:VCARD\n");
    ASSERT_EQ(all.size(), 1u) << c.lines;
    EXPECT_EQ(all[0].categories, c.categories) << c.lines;
  }
}

// Under AddressSanitizer a read past the end of the input fails here.
TEST(VCard, DamagedInputGivesWhatCouldBeReadAndNeverReadsPastTheEnd) {
  for (const FixtureCase& f : fixtures()) {
    const std::string bytes = sourceFile(f.file);
    for (size_t n = 0; n <= bytes.size(); ++n) {
      const std::string prefix = bytes.substr(0, n);
      bool valid = false;
      const Contacts got = readAll(prefix, &valid);
      EXPECT_LE(got.size(), f.expected.size()) << f.file << " at " << n;
      EXPECT_EQ(valid, prefix.find("BEGIN:VCARD") != std::string::npos ||
                           prefix.empty() || prefix == "\xEF\xBB\xBF")
          << f.file << " at " << n;
    }
    std::mt19937 random(12345);
    const char noise[] = {'\r', '\n', ' ', '\t', '=', ';', ':', ',', '"',
                          '\\', '.', '\0', '\x80', '\xC3', '\xFF'};
    for (int round = 0; round < 2000; ++round) {
      std::string mutated = bytes;
      for (int k = 0; k < 4; ++k)
        mutated[random() % mutated.size()] = noise[random() % sizeof noise];
      readAll(mutated.substr(0, random() % (mutated.size() + 1)));
    }
  }
}

// Shapes that would exhaust the stack of a recursive reader, or take hours
// in one that looks at a growing line again for every piece.
TEST(VCard, PathologicalShapesStayCheap) {
  std::string nested = "BEGIN:VCARD\nN:Deep;D\nAGENT:\n";
  for (int i = 0; i < 100000; ++i) nested += "BEGIN:VCARD\nAGENT:\n";
  nested += "TEL;HOME:1\n";
  Contacts all = readAll(nested);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0], contact({"D", "Deep"}));

  std::string folded = "BEGIN:VCARD\r\nN;X=\"";
  for (int i = 0; i < 300000; ++i) folded += "\r\n a=";
  all = readAll(folded);
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0], contact({}));
}

}  // namespace
