#include "transfer/zip_extractor.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "zip_builder.h"
#include "zip_fakes.h"

namespace {

using namespace zip_test;

const std::wstring kDest = L"C:\\dest\\";

// The text of the error the extraction raised; empty when it finished.
std::wstring ExtractError(const std::string& bytes, MemoryTarget& target,
                          const std::wstring& dest = kDest) {
  MemoryArchive archive(bytes);
  ExtractionFacts facts;
  try {
    ExtractZip(archive, dest, target, facts);
  } catch (const Error& e) {
    return e.text();
  }
  return L"";
}

Entry Stored(std::string name, std::string data) {
  Entry e;
  e.name = std::move(name);
  e.data = std::move(data);
  e.method = 0;
  return e;
}

Entry Deflated(std::string name, std::string data) {
  Entry e = Stored(std::move(name), std::move(data));
  e.method = 8;
  return e;
}

TEST(ZipExtractor, MakesFoldersOfFolderEntriesAndOfNamesAndPutsFilesInThem) {
  Archive a;
  a.entries = {Stored("setup/", ""), Deflated("setup/a.txt", "alpha"), Stored("b.txt", "beta"),
               Deflated("x/y/z.bin", std::string(100000, 'z'))};
  MemoryTarget t;
  ASSERT_EQ(ExtractError(a.Build(), t), L"");
  EXPECT_EQ(t.files[L"C:\\dest\\setup\\a.txt"].data, "alpha");
  EXPECT_EQ(t.files[L"C:\\dest\\b.txt"].data, "beta");
  EXPECT_EQ(t.files[L"C:\\dest\\x\\y\\z.bin"].data, std::string(100000, 'z'));
  EXPECT_EQ(t.files.size(), 3u) << "a folder entry gets no file";
  EXPECT_TRUE(t.folders.count(L"C:\\dest\\x") && t.folders.count(L"C:\\dest\\x\\y"));
}

TEST(ZipExtractor, SecondEntryOfTheSameNameReplacesTheFirst) {
  Archive a;
  a.entries = {Deflated("a.txt", "first, longer"), Stored("a.txt", "second")};
  MemoryTarget t;
  ASSERT_EQ(ExtractError(a.Build(), t), L"");
  EXPECT_EQ(t.files[L"C:\\dest\\a.txt"].data, "second");
  EXPECT_EQ(t.files[L"C:\\dest\\a.txt"].creations, 2);
}

TEST(ZipExtractor, EmptyEntriesGiveEmptyFilesWithOrWithoutADataDescriptor) {
  for (const std::uint16_t method : {0, 8}) {
    for (const std::uint16_t flag : {0x0000, 0x0008}) {
      SCOPED_TRACE(testing::Message() << "method " << method << " flag " << flag);
      Entry empty = Stored("empty.txt", "");
      empty.method = method;
      empty.flag = flag;
      Archive a;
      a.entries = {empty, Stored("next.txt", "after")};
      MemoryTarget t;
      ASSERT_EQ(ExtractError(a.Build(), t), L"");
      EXPECT_EQ(t.files.count(L"C:\\dest\\empty.txt"), 1u);
      EXPECT_EQ(t.files[L"C:\\dest\\empty.txt"].data, "");
      EXPECT_EQ(t.files[L"C:\\dest\\next.txt"].data, "after");
    }
  }
}

// Sizes and CRC-32 come from the central directory; the local header's and the data
// descriptor's are never read, and Deflate input runs to the stream's own end.
TEST(ZipExtractor, TrustsTheCentralDirectoryOverLocalFieldsAndDescriptors) {
  Entry described = Deflated("d.txt", std::string(5000, 'd') + "end");
  described.flag = 0x08;
  Archive a;
  a.entries = {described, Deflated("after.txt", "after")};
  Built b = a.BuildWithOffsets();
  Patch16(b.bytes, b.central_offsets[0] + 20, 1);  // central compressed size: far too small
  Patch16(b.bytes, b.central_offsets[0] + 10, 0x0108);  // only the method's low byte counts
  MemoryTarget t;
  ASSERT_EQ(ExtractError(b.bytes, t), L"");
  EXPECT_EQ(t.files[L"C:\\dest\\d.txt"].data, described.data);
  EXPECT_EQ(t.files[L"C:\\dest\\after.txt"].data, "after");
}

TEST(ZipExtractor, EntriesThatShareTheirDataAreEachExtracted) {
  Archive a;
  a.entries = {Deflated("one.txt", "shared bytes"), Stored("mid.txt", "mid"),
               Deflated("two.txt", "shared bytes")};
  a.entries[2].shares_local_header_of = 0;
  MemoryTarget t;
  ASSERT_EQ(ExtractError(a.Build(), t), L"");
  EXPECT_EQ(t.files[L"C:\\dest\\two.txt"].data, "shared bytes");
  EXPECT_EQ(t.files[L"C:\\dest\\mid.txt"].data, "mid");
}

TEST(ZipExtractor, FindsTheEndRecordWithinTheLast65535BytesOnly) {
  struct Case {
    std::size_t comment_size;
    const wchar_t* error;
  };
  // The record is 22 bytes: a comment of 65513 puts its start exactly 65535 bytes from
  // the end of the file.
  for (const Case& c : {Case{0, L""}, Case{200, L""}, Case{65513, L""},
                        Case{65514, L"Error reading zip file"}}) {
    SCOPED_TRACE(c.comment_size);
    Archive a;
    a.entries = {Stored("a.txt", "a")};
    a.comment = std::string(c.comment_size, 'c');
    MemoryTarget t;
    EXPECT_EQ(ExtractError(a.Build(), t), c.error);
  }
}

TEST(ZipExtractor, EndRecordNearestTheEndOfTheFileWins) {
  Archive inner;  // a whole end record for no entries, hidden in the comment
  std::string empty_end = inner.Build();
  struct Case {
    const char* what;
    std::string comment;
    std::size_t files;
  };
  for (const Case& c : {Case{"signature too close to the end for a record", "xx" "PK\x05\x06" "abc", 1},
                        Case{"a whole record in the comment", "note " + empty_end, 0}}) {
    SCOPED_TRACE(c.what);
    Archive a;
    a.entries = {Stored("a.txt", "a")};
    a.comment = c.comment;
    MemoryTarget t;
    EXPECT_EQ(ExtractError(a.Build(), t), L"");
    EXPECT_EQ(t.files.size(), c.files);
  }
}

TEST(ZipExtractor, RaisesTheTextOfEachFailure) {
  Archive good;
  good.entries = {Deflated("a.txt", std::string(3000, 'a'))};
  const Built b = good.BuildWithOffsets();
  auto patched = [&](std::size_t at, std::uint32_t value) {
    std::string bytes = b.bytes;
    Patch16(bytes, at, value);
    return bytes;
  };
  auto with = [](Entry e) {
    Archive a;
    a.entries = {e};
    return a.Build();
  };
  Entry long_name = Stored("a.txt", "");
  Entry garbage = Deflated("a.txt", "x");
  garbage.payload = std::string("\xff\xff\xff\xff", 4);
  Entry bigger = Deflated("a.txt", "abc");
  bigger.size = 4;
  Entry beyond = Stored("a.txt", "abc");
  beyond.size = 100000;
  Archive past_end = good;
  past_end.directory_offset = 1000000;
  Archive missing_header = good;
  missing_header.total_entries = 2;

  struct Case {
    const char* what;
    std::string bytes;
    std::wstring error;
  };
  const Case cases[] = {
      {"empty file", "", L"Stream read error"},
      {"HTML page", "<html><body>404 Not Found</body></html>\n", L"Error reading zip file"},
      {"three bytes", "PK\x05", L"Error reading zip file"},
      {"central name runs past the end", patched(b.central_offsets[0] + 28, 0xFFFF),
       L"Error reading zip file"},
      {"directory past the end", past_end.Build(), L"Invalid Zip Central Header signature"},
      {"fewer headers than counted", missing_header.Build(), L"Invalid Zip Central Header signature"},
      {"local signature", patched(b.local_offsets[0], 0x4B51), L"Invalid Zip Local Header signature"},
      {"Deflate64", patched(b.central_offsets[0] + 10, 9), L"Item not found"},
      {"damaged Deflate data", with(garbage), L"data error"},
      {"Deflate stream ends early", with(bigger), L"Stream read error"},
      {"stored data runs past the end", with(beyond), L"Stream read error"},
      {"name with \"<\"", with(Stored("a<b.txt", "")), L"Invalid characters in path"},
      {"name with U+001F", with(Stored("a\x1f.txt", "")), L"Invalid characters in path"},
      {"colon in a folder", with(Stored("ab:c/d.txt", "")), L"The path format is not supported"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryTarget t;
    EXPECT_EQ(ExtractError(c.bytes, t), c.error);
  }
}

// Faults caught: the entries' sizes not summed (only the first, or the archive's size),
// the spare 5 % left out, the check made after the first folder or file, the wrong folder asked.
TEST(ZipExtractor, RefusesAnArchiveWhoseEntriesTheDestinationsVolumeCannotHold) {
  Archive a;
  a.entries = {Stored("a/one.bin", std::string(1000, 'x')), Deflated("two.bin", std::string(1000, 'y'))};
  const std::string zip = a.Build();
  for (const std::uint64_t free : {2100u, 2099u}) {
    SCOPED_TRACE(free);
    MemoryTarget target;
    target.free_bytes = free;
    const std::wstring error = ExtractError(zip, target);
    EXPECT_EQ(target.free_asked, std::vector<std::wstring>{kDest});
    if (free == 2100u) {
      EXPECT_EQ(error, L"");
    } else {
      EXPECT_EQ(error, L"Not enough free space in \"C:\\dest\\\": 2100 bytes are needed, 2099 are free");
      EXPECT_TRUE(target.log.empty()) << "no folder and no file before the check";
    }
  }
}

TEST(ZipExtractor, FolderPathOf248CharactersIsTooLong) {
  // "C:\dest\" is 8 characters; the folder is everything before the last "\".
  for (const std::size_t folder_length : {247u, 248u}) {
    SCOPED_TRACE(folder_length);
    Archive a;
    a.entries = {Stored(std::string(folder_length - 8, 'f') + "/a.txt", "a")};
    MemoryTarget t;
    EXPECT_EQ(ExtractError(a.Build(), t),
              folder_length == 248 ? L"The specified path is too long" : L"");
  }
}

TEST(ZipExtractor, FailuresOfTheTargetNameThePathAndTheReason) {
  Archive a;
  a.entries = {Stored("a.txt", std::string(70000, 'a'))};
  MemoryTarget locked;
  locked.locked.insert(L"C:\\dest\\a.txt");
  EXPECT_EQ(ExtractError(a.Build(), locked), L"Cannot create file \"C:\\dest\\a.txt\". Access is denied");
  MemoryTarget full;
  full.disk_space = 1000;
  EXPECT_EQ(ExtractError(a.Build(), full), L"Stream write error");
  EXPECT_EQ(full.files.count(L"C:\\dest\\a.txt"), 0u) << "no half-written file is left";
  // Windows refuses to delete a file still open: it would stay behind, half-written.
  EXPECT_FALSE(full.removed_while_open);
  EXPECT_EQ(full.open_files, 0);
}

TEST(ZipExtractor, StopsAtTheFirstFailingEntry) {
  Archive a;
  a.entries = {Deflated("first.txt", "1"), Deflated("second.bin", "2"), Stored("third.txt", "3")};
  a.entries[1].method = 9;
  a.entries[1].payload = "??";
  MemoryTarget t;
  EXPECT_EQ(ExtractError(a.Build(), t), L"Item not found");
  EXPECT_EQ(t.files[L"C:\\dest\\first.txt"].data, "1");
  EXPECT_EQ(t.files.size(), 1u);
}

TEST(ZipExtractor, RefusesEntriesThatWouldLeaveTheDestinationFolder) {
  for (const char* name : {"../evil.txt", "a/../../evil.txt", "/etc/evil", "\\evil.txt",
                           "\\\\server\\share\\evil.txt", "C:/evil.txt", "c:evil.txt",
                           "a/.../evil.txt", "a/.. /evil.txt"}) {
    SCOPED_TRACE(name);
    Archive a;
    a.entries = {Stored(name, "evil")};
    MemoryTarget t;
    EXPECT_EQ(ExtractError(a.Build(), t), L"Cannot extract \"" + std::wstring(name, name + strlen(name)) +
                                              L"\". Its name leads outside the destination folder");
    EXPECT_TRUE(t.log.empty()) << "nothing is made for a refused entry";
  }
  Archive stream;
  stream.entries = {Stored("a/setup.exe:Zone.Identifier", "[ZoneTransfer]")};
  MemoryTarget t;
  EXPECT_EQ(ExtractError(stream.Build(), t),
            L"Cannot extract \"a/setup.exe:Zone.Identifier\". A colon in its file name would "
            L"write into a stream of another file");
  EXPECT_TRUE(t.log.empty());
}

TEST(ZipExtractor, RefusesEncryptedEntriesBeforeTheirMethod) {
  for (const std::uint16_t method : {0, 8, 99}) {
    SCOPED_TRACE(method);
    Entry secret = Stored("secret.txt", "ciphertext");
    secret.method = method;
    secret.flag = 0x01;
    secret.payload = "ciphertext";
    Archive a;
    a.entries = {secret};
    MemoryTarget t;
    EXPECT_EQ(ExtractError(a.Build(), t), L"Cannot extract \"secret.txt\". It is encrypted");
    EXPECT_TRUE(t.files.empty());
  }
}

TEST(ZipExtractor, RefusesDataWhoseCrcDoesNotMatchTheCentralDirectory) {
  for (const std::uint16_t method : {0, 8}) {
    SCOPED_TRACE(method);
    Entry damaged = Stored("setup.exe", "MZ program");
    damaged.method = method;
    damaged.crc = Crc32("MZ program") ^ 0x100;
    Archive a;
    a.entries = {Stored("ok.txt", "ok"), damaged, Stored("later.txt", "later")};
    MemoryTarget t;
    EXPECT_EQ(ExtractError(a.Build(), t),
              L"Cannot extract \"setup.exe\". Its data is damaged: the CRC-32 does not match");
    EXPECT_EQ(t.files[L"C:\\dest\\ok.txt"].data, "ok");
    EXPECT_EQ(t.files.count(L"C:\\dest\\setup.exe"), 0u) << "a damaged file is not left behind";
    EXPECT_EQ(t.files.count(L"C:\\dest\\later.txt"), 0u);
  }
}

TEST(ZipExtractor, NamesComeFromTheUnicodePathRecordUtf8OrCodePage437) {
  struct Case {
    const char* what;
    std::string name;
    std::uint16_t flag;
    std::string local_extra;
    std::wstring path;
  };
  const std::string u_umlaut = "\xc3\xbc.txt";  // "ü.txt" in UTF-8
  const Case cases[] = {
      {"UTF-8 with bit 11", u_umlaut, 0x0800, "", L"C:\\dest\\\u00fc.txt"},
      {"the same bytes as code page 437", u_umlaut, 0, "", L"C:\\dest\\\u251c\u255d.txt"},
      {"0x81 in code page 437", "\x81.txt", 0, "", L"C:\\dest\\\u00fc.txt"},
      {"record with the name's CRC-32", "u.txt", 0,
       "\x55\x54\x05\x00\x01\x00\x00\x00\x00" + UnicodePathRecord(Crc32("u.txt"), "\xd1\x8f.txt"),
       L"C:\\dest\\\u044f.txt"},
      {"record with a wrong CRC-32", "u.txt", 0, UnicodePathRecord(Crc32("v.txt"), "\xd1\x8f.txt"),
       L"C:\\dest\\u.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Entry e = Stored(c.name, "x");
    e.flag = c.flag;
    e.local_extra = c.local_extra;
    Archive a;
    a.entries = {e};
    MemoryTarget t;
    ASSERT_EQ(ExtractError(a.Build(), t), L"");
    EXPECT_EQ(t.files.begin()->first, c.path);
  }
}

TEST(ZipExtractor, SetsLocalTimesAndMsDosAttributesAfterTheDataBeforeTheClose) {
  struct Case {
    std::uint16_t made_by;
    std::uint32_t external;
    std::uint32_t date_time;
    std::optional<std::uint32_t> attributes;
    bool times;
  };
  const Case cases[] = {
      {0x0014, 0x21, kMarch2024Noon, 0x21, true},
      {0x0014, 0x81ED0029, kMarch2024Noon, 0x21, true},  // volume label bit dropped
      {0x0314, 0x81A40021, kMarch2024Noon, std::nullopt, true},  // Unix host
      {0x0014, 0x20, 0x00000000, 0x20, false},  // 1980-00-00
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.made_by << " " << c.external);
    Entry e = Deflated("a.txt", "text");
    e.made_by = c.made_by;
    e.external_attributes = c.external;
    e.date_time = c.date_time;
    Archive a;
    a.entries = {e};
    Built b = a.BuildWithOffsets();
    Patch16(b.bytes, b.central_offsets[0] + 14, 0x2000);  // the central date is not used
    MemoryTarget t;
    ASSERT_EQ(ExtractError(b.bytes, t), L"");
    const FakeFile& f = t.files[L"C:\\dest\\a.txt"];
    EXPECT_EQ(f.attributes, c.attributes);
    ASSERT_EQ(f.times.has_value(), c.times);
    if (c.times) {
      EXPECT_EQ(f.times->year, 2024);
      EXPECT_EQ(f.times->day, 1);
      EXPECT_EQ(f.times->hour, 12);
    }
    // Both in one step after the data and before the close, through the open file.
    const std::vector<std::wstring> tail(t.log.end() - 2, t.log.end());
    EXPECT_EQ(tail, (std::vector<std::wstring>{L"finish", L"close"}));
  }
}

// Under Wine a positioned read is a server round trip: an archive of many small entries
// must be read front to back in 64 KiB blocks, written in blocks of at most 61,440.
TEST(ZipExtractor, ReadsSequentiallyInBlocksAndWritesInBoundedBlocks) {
  Archive a;
  for (int i = 0; i < 300; ++i) {
    a.entries.push_back(Deflated("f" + std::to_string(i) + ".txt", std::string(2000 + i, 'a' + i % 26)));
  }
  a.entries.push_back(Stored("blob.bin", std::string(300000, 'b')));
  const std::string bytes = a.Build();
  MemoryArchive archive(bytes);
  MemoryTarget t;
  ExtractionFacts facts;
  ExtractZip(archive, kDest, t, facts);
  EXPECT_EQ(t.files.size(), 301u);
  EXPECT_EQ(facts.entries, 301u);
  EXPECT_EQ(facts.entries_done, 301u);
  EXPECT_EQ(facts.bytes, 300u * 2000 + 299u * 300 / 2 + 300000);
  EXPECT_LE(archive.seeks, 3) << "end record, central directory, first local header";
  EXPECT_LE(archive.bytes_read, bytes.size() + 2 * 65536);
  EXPECT_EQ(archive.largest_read, 65536u);
  EXPECT_EQ(t.largest_write, 61440u);
}

}  // namespace
