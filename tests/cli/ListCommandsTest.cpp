// The list commands of the terminal mode: codes come from the history or are hashed first, and
// a list that cannot be written names the file and leaves nothing behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HeadlessFixture.h"
#include "platform/DirSearch.h"

namespace qv {
namespace {

class ListCommandTest : public HeadlessFixture {};

TEST_F(ListCommandTest, WritesTheListsOfTheNamedFilesAndOfATree)
{
    files.WriteFile("abc.txt", "abc");
    files.WriteFile("sub/deep.txt", "");
    const std::string md5Abc = "900150983cd24fb0d6963f7d28e17f72", md5Empty = "d41d8cd98f00b204e9800998ecf8427e";
    // Format 5 of the defaults is the "MD5 (name) = md5" layout.
    EXPECT_EQ(Run({"--list", "5", "out.md5", "abc.txt"}), 0) << err;
    EXPECT_EQ(TempDir::ReadFile(files.Path("out.md5")), "MD5 (abc.txt) = " + md5Abc + "\r\n");

    EXPECT_EQ(Run({"--sfv", "out.sfv", "abc.txt", "sub/deep.txt"}), 0) << err;
    const std::string sfv = TempDir::ReadFile(files.Path("out.sfv"));
    EXPECT_NE(sfv.find("abc.txt 352441C2\r\n"), std::string::npos) << sfv;
    EXPECT_NE(sfv.find("deep.txt 00000000\r\n"), std::string::npos) << sfv;

    EXPECT_EQ(Run({"--list-tree", "5", "tree.md5", "."}), 0) << err;
    const std::string tree = TempDir::ReadFile(files.Path("tree.md5"));
    EXPECT_NE(tree.find("MD5 (abc.txt) = " + md5Abc), std::string::npos) << tree;
    EXPECT_NE(tree.find("MD5 (deep.txt) = " + md5Empty), std::string::npos) << tree;
    EXPECT_EQ(tree.find("tree.md5"), std::string::npos) << "the list never lists itself";
}

TEST_F(ListCommandTest, BadRequestsWriteNothing)
{
    files.WriteFile("abc.txt", "abc");
    files.WriteFile("keep.md5", "old list");
    files.MakeFolder("folder");
    const struct {
        std::vector<std::string> args;
        int code;
        std::string err;
    } cases[] = {
        {{"--list", "6", "x.md5", "abc.txt"}, 2, "リスト書式の番号は 1 から 5 です: 6"},
        {{"--list", "1", "x.md5"}, 2, "指定の誤り"},
        {{"--sfv", "x.sfv", "folder"}, 1, "ファイルではなくフォルダです"},
        {{"--sfv", "x.sfv", "missing"}, 1, "見つかりません"},
        // The target is a folder: the rename fails, the reason is named.
        {{"--sfv", "folder", "abc.txt"}, 1, files.Path("folder")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        EXPECT_EQ(Run(c.args), c.code);
        EXPECT_NE(err.find(c.err), std::string::npos) << err;
        EXPECT_FALSE(PathExists(files.Path("x.md5")) || PathExists(files.Path("x.sfv")));
    }
    EXPECT_EQ(TempDir::ReadFile(files.Path("keep.md5")), "old list");
}

}  // namespace
}  // namespace qv
