// Quillon64 reads blocks another process wrote: every length and text end is
// checked against the block before use. The blocks here are created with an
// exact size, so a read past the end fails as it does at the end of the
// pages Quillon64 maps.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/ProcessList.h"
#include "common/System.h"
#include "helper64/Jobs.h"
#include "tests/common/TestSupport.h"

namespace {

constexpr wchar_t kBlockName[] = L"orrivane_helper64_request_test";

// Bytes of a request, written field by field.
class Bytes {
public:
    Bytes& u32(DWORD value) { return raw(&value, 4); }
    Bytes& byte(BYTE value) { return raw(&value, 1); }
    // The units of a text, with its NUL unless `nul` is false.
    Bytes& text(const std::wstring& value, bool nul = true) {
        return raw(value.c_str(), static_cast<int>((value.size() + (nul ? 1 : 0)) * sizeof(wchar_t)));
    }
    Bytes& raw(const void* data, int count) {
        data_.append(static_cast<const char*>(data), count);
        return *this;
    }
    const std::string& data() const { return data_; }

private:
    std::string data_;
};

bool MakeBlock(SharedBlock& block, const Bytes& bytes) {
    int size = static_cast<int>(bytes.data().size());
    return block.create(kBlockName, size) && block.write(bytes.data().data(), size);
}

std::wstring FileField(const std::wstring& name, int maxFile) {
    std::wstring field = name;
    field.resize(maxFile, L'\0');
    return field;
}

const std::wstring kTitle = L"スクリーンセーバーの指定";
const std::wstring kFilter = L"スクリーンセーバー(*.scr)\n*.scr\n\n";

TEST(FileRequest, ReadsTheFieldsAsZavSetWritesThem) {
    const struct {
        std::wstring filter;
        std::wstring expected;   // the filter as the dialog gets it, every NUL included
    } cases[] = {
        {kFilter, std::wstring(L"スクリーンセーバー(*.scr)\0*.scr\0\0\0\0", 26)},
        // No line feed after the last pattern: still ends in two NULs.
        {L"A\n*.a", std::wstring(L"A\0*.a\0\0", 7)},
        {L"", L""},
    };
    for (const auto& c : cases) {
        SharedBlock block;
        ASSERT_TRUE(MakeBlock(block, Bytes().u32(0x100D).u32(1).u32(1040).text(kTitle).text(c.filter, true).text(
                                         FileField(L"C:\\a.scr", 1040), false)));
        FileRequest request;
        ASSERT_TRUE(ReadFileRequest(block, &request)) << Narrow(c.filter);
        EXPECT_EQ(request.flags, 0x100Du);
        EXPECT_EQ(request.filterIndex, 1u);
        EXPECT_EQ(request.maxFile, 1040);
        EXPECT_EQ(request.title, kTitle.c_str());
        std::wstring filter = request.filter ? std::wstring(request.filter.get(), request.filterUnits) : std::wstring();
        EXPECT_EQ(filter, c.expected) << Narrow(c.filter);
        EXPECT_EQ(request.fileOffset, 16 + 2 * static_cast<int>(kTitle.size() + c.filter.size()));
        EXPECT_STREQ(request.file.get(), L"C:\\a.scr");
    }
}

TEST(FileRequest, RefusesBlocksThatDoNotHoldTheWholeRequest) {
    std::wstring noNul(600, L'x');
    const struct {
        const char* what;
        Bytes bytes;
    } cases[] = {
        {"maxFile 0", Bytes().u32(0).u32(1).u32(0).text(L"t").text(L"f\n").text(L"")},
        {"maxFile negative", Bytes().u32(0).u32(1).u32(0xFFFFFFFF).text(L"t").text(L"f\n").text(FileField(L"", 8), false)},
        {"maxFile huge", Bytes().u32(0).u32(1).u32(0x7FFFFFFF).text(L"t").text(L"f\n").text(FileField(L"", 8), false)},
        {"file field one unit short", Bytes().u32(0).u32(1).u32(9).text(L"t").text(L"f\n").text(FileField(L"", 8), false)},
        {"title without its NUL", Bytes().u32(0).u32(1).u32(4).text(noNul, false)},
        {"filter without its NUL", Bytes().u32(0).u32(1).u32(4).text(L"t").text(noNul, false)},
        {"shorter than the numbers", Bytes().u32(0).u32(1).byte(4)},
    };
    for (const auto& c : cases) {
        SharedBlock block;
        ASSERT_TRUE(MakeBlock(block, c.bytes)) << c.what;
        FileRequest request;
        EXPECT_FALSE(ReadFileRequest(block, &request)) << c.what;
    }
}

TEST(FileRequest, AnInitialNameFillingTheFieldIsCutToKeepItsEnd) {
    SharedBlock block;
    ASSERT_TRUE(MakeBlock(block, Bytes().u32(0).u32(1).u32(4).text(L"t").text(L"f\n").text(L"abcd", false)));
    FileRequest request;
    ASSERT_TRUE(ReadFileRequest(block, &request));
    EXPECT_STREQ(request.file.get(), L"abc");
}

TEST(FolderRequest, ReadsTheOddOffsetFieldsAndWritesAnAnswerOnlyWhereItFits) {
    const std::wstring title = L"フォルダーを選んでください";
    SharedBlock block;
    ASSERT_TRUE(MakeBlock(block, Bytes().byte(1).text(title).text(L"  \"C:\\x y\"  ").text(std::wstring(11, L'-'), false)));
    FolderRequest request;
    ASSERT_TRUE(ReadFolderRequest(block, &request));
    EXPECT_TRUE(request.newFolderButton);
    EXPECT_EQ(request.title, title.c_str());
    EXPECT_EQ(request.folder, L"C:\\x y");
    EXPECT_EQ(request.folderOffset, 3 + 2 * static_cast<int>(title.size()));

    // The folder field and the units after it, to the end of the block.
    int room = (block.size() - request.folderOffset) / static_cast<int>(sizeof(wchar_t));
    const wchar_t* field = reinterpret_cast<const wchar_t*>(static_cast<const char*>(block.view()) + request.folderOffset);
    std::wstring before(field, room);
    EXPECT_FALSE(WriteFolderAnswer(block, request, std::wstring(room, L'z').c_str()));
    EXPECT_EQ(std::wstring(field, room), before) << "a refused answer was written in part";
    EXPECT_TRUE(WriteFolderAnswer(block, request, std::wstring(room - 1, L'z').c_str()));
    EXPECT_EQ(std::wstring(field), std::wstring(room - 1, L'z'));

    SharedBlock zero;
    ASSERT_TRUE(MakeBlock(zero, Bytes().byte(0).text(L"t").text(L"")));
    ASSERT_TRUE(ReadFolderRequest(zero, &request));
    EXPECT_FALSE(request.newFolderButton);
    EXPECT_TRUE(request.folder.empty());
}

TEST(FolderRequest, RefusesTextsThatDoNotEndInsideTheBlock) {
    for (const Bytes& bytes : {Bytes().byte(1).text(L"title", false), Bytes().byte(1).text(L"t").text(L"C:\\x", false),
                               Bytes().byte(1)}) {
        SharedBlock block;
        ASSERT_TRUE(MakeBlock(block, bytes));
        FolderRequest request;
        EXPECT_FALSE(ReadFolderRequest(block, &request)) << bytes.data().size() << " bytes";
    }
}

TEST(HelperJobs, PickJobsWithoutABlockEndWith0AndNoDialog) {
    BoxRecorder boxes;
    EXPECT_EQ(PickFile(), 0);
    EXPECT_EQ(PickFolder(), 0);
    EXPECT_TRUE(boxes.boxes().empty());
}

// The 64-bit list tells 64-bit processes (this one) from 32-bit ones.
TEST(ProcessList64, ListsThisProgramAsA64BitProcess) {
    ProcessList list;
    BoxRecorder boxes;
    list.enumerate();
    int at = -1;
    for (int i = 0; i < list.count(); ++i) {
        if (list.record(i).id == static_cast<int>(GetCurrentProcessId())) at = i;
    }
    ASSERT_GE(at, 0);
    EXPECT_EQ(list.record(at).kind, kProcess64);
    EXPECT_TRUE(list.record(at).canEnd);
    EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace
