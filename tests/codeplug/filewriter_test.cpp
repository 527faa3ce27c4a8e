// Saving as a file editor users trust does: links followed and kept, refusals before
// anything is touched, the previous content never lost.

#include "codeplug/FileWriter.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>

#include "codeplug/CodePlugDocument.h"
#include "support/CodePlugBuilder.h"
#include "support/ScriptedPrompt.h"
#include "support/Unprivileged.h"

using namespace pw;
using namespace pwtest;
namespace fs = std::filesystem;

namespace {

const std::vector<std::uint8_t> kOld = {'o', 'l', 'd', ' ', 'b', 'y', 't', 'e', 's'};
const std::vector<std::uint8_t> kNew(5000, 0x5A);

// An empty folder of the test's own.
std::string freshFolder(const std::string& name) {
  const std::string dir = testTempDir() + "/" + name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

std::vector<std::string> namesIn(const std::string& dir) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

struct stat statOf(const std::string& path) {
  struct stat st {};
  ::lstat(path.c_str(), &st);
  return st;
}

// Runs `check` on every call of the low-level write, then writes or fails.
class WatchingWriter : public FileWriter {
 public:
  std::function<void()> check;
  bool fail = false;
  int interruptions = 0;  // calls that report EINTR before any byte is written

 protected:
  long writeChunk(int fd, const std::uint8_t* data, std::size_t length) override {
    if (check) check();
    if (interruptions > 0) {
      --interruptions;
      errno = EINTR;
      return -1;
    }
    if (fail) {
      errno = ENOSPC;
      return -1;
    }
    return FileWriter::writeChunk(fd, data, std::min<std::size_t>(length, 1000));  // short writes too
  }
};

}  // namespace

TEST(FileWriter, SymbolicLinksAreFollowedAndStayLinks) {
  const std::string dir = freshFolder("links");
  writeFile(dir + "/real.rdt", kOld);
  fs::create_symlink("real.rdt", dir + "/link.rdt");
  fs::create_symlink(dir + "/link.rdt", dir + "/chain.rdt");  // absolute, to a link
  fs::create_symlink("later.rdt", dir + "/dangling.rdt");
  FileWriter writer;
  ASSERT_EQ(writer.writeFile(dir + "/chain.rdt", kNew), WriteResult::Ok);
  EXPECT_TRUE(fs::is_symlink(dir + "/chain.rdt"));
  EXPECT_TRUE(fs::is_symlink(dir + "/link.rdt"));
  EXPECT_EQ(readFile(dir + "/real.rdt"), kNew);
  // A link to a file that does not exist yet makes that file.
  ASSERT_EQ(writer.writeFile(dir + "/dangling.rdt", kOld), WriteResult::Ok);
  EXPECT_TRUE(fs::is_symlink(dir + "/dangling.rdt"));
  EXPECT_EQ(readFile(dir + "/later.rdt"), kOld);
  EXPECT_EQ(namesIn(dir),
            (std::vector<std::string>{"chain.rdt", "dangling.rdt", "later.rdt", "link.rdt", "real.rdt"}));

  fs::create_symlink("loop-b", dir + "/loop-a");
  fs::create_symlink("loop-a", dir + "/loop-b");
  EXPECT_EQ(writer.writeFile(dir + "/loop-a", kNew), WriteResult::CreateFailed);
}

TEST(FileWriter, TargetsThatAreNotRegularFilesAreRefusedUntouched) {
  const std::string dir = freshFolder("special");
  fs::create_directories(dir + "/folder.rdt");
  ASSERT_EQ(::mkfifo((dir + "/pipe.rdt").c_str(), 0644), 0);
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string sockPath = dir + "/sock.rdt";
  const bool haveSocket = sockPath.size() < sizeof addr.sun_path;
  if (haveSocket) {
    std::copy(sockPath.begin(), sockPath.end(), addr.sun_path);
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  }
  // A device node of our own (root only): the null device's numbers.
  const bool haveDevice = ::mknod((dir + "/device.rdt").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  fs::create_symlink("pipe.rdt", dir + "/to-pipe.rdt");

  FileWriter writer;
  for (const char* name : {"folder.rdt", "pipe.rdt", "sock.rdt", "device.rdt", "to-pipe.rdt"}) {
    const std::string target = dir + "/" + name;
    if (!fs::exists(fs::symlink_status(target))) continue;
    const auto before = statOf(target);
    EXPECT_EQ(writer.writeFile(target, kNew), WriteResult::CreateFailed) << name;
    EXPECT_EQ(statOf(target).st_mode, before.st_mode) << name;
    EXPECT_EQ(statOf(target).st_ino, before.st_ino) << name;
  }
  ::close(sock);
  if (!haveDevice || !haveSocket)
    std::printf("note: device or socket target not tried (not root, or long path)\n");
  EXPECT_EQ(namesIn(dir).size(), 3u + haveSocket + haveDevice);  // no temporary left
  fs::remove_all(dir);  // no device node is left lying about
}

TEST(FileWriter, HardLinksKeepOneFileAndABackupGuardsTheWrite) {
  const std::string dir = freshFolder("hardlinks");
  const std::string a = dir + "/a.rdt", b = dir + "/b.rdt";
  writeFile(a, kOld);
  fs::create_hard_link(a, b);
  ::chmod(a.c_str(), 0640);
  const auto before = statOf(a);

  // While the new bytes are written a flushed copy of the old ones lies beside the file.
  // The copy is written first: a program killed at any write finds every file named as a
  // backup whole.
  WatchingWriter writer;
  std::vector<std::string> during;
  int whole = 0, partial = 0;  // files named as a backup, counted at every write
  writer.check = [&] {
    during = namesIn(dir);
    for (const auto& n : during)
      if (n.rfind("b.rdt.backup", 0) == 0) ++(readFile(dir + "/" + n) == kOld ? whole : partial);
  };
  ASSERT_EQ(writer.writeFile(b, kNew), WriteResult::Ok);
  ASSERT_EQ(during.size(), 3u);
  EXPECT_EQ(partial, 0);
  EXPECT_GT(whole, 0);
  EXPECT_EQ(statOf(a).st_ino, before.st_ino);
  EXPECT_EQ(statOf(a).st_nlink, 2u);
  EXPECT_EQ(statOf(a).st_mode, before.st_mode);
  EXPECT_EQ(readFile(a), kNew);
  EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"a.rdt", "b.rdt"}));

  // A failed write puts the previous bytes back, a shorter file shrinks, and the backup goes.
  writer.check = nullptr;
  writer.fail = true;
  EXPECT_EQ(writer.writeFile(a, kOld), WriteResult::WriteFailed);
  EXPECT_EQ(readFile(b), kNew);
  writer.fail = false;
  ASSERT_EQ(writer.writeFile(a, kOld), WriteResult::Ok);
  EXPECT_EQ(readFile(b), kOld);
  EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"a.rdt", "b.rdt"}));
}

TEST(FileWriter, OwnerGroupAndModeAreKept) {
  const std::string dir = freshFolder("owner");
  const std::string target = dir + "/plug.rdt";
  writeFile(target, kOld);
  giveToUnprivileged(target);  // as root: a file of another user, which root may give back
  ::chmod(target.c_str(), 0644);
  FileWriter writer;
  ASSERT_EQ(writer.writeFile(target, kNew), WriteResult::Ok);
  const auto st = statOf(target);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  EXPECT_EQ(st.st_uid, unprivilegedUid());
  EXPECT_EQ(st.st_gid, unprivilegedGid());
  EXPECT_EQ(readFile(target), kNew);

  // A new file gets 0666 less the umask.
  for (mode_t mask : {mode_t(022), mode_t(077)}) {
    const mode_t previous = ::umask(mask);
    const std::string fresh = dir + "/new" + std::to_string(mask) + ".rdt";
    EXPECT_EQ(writer.writeFile(fresh, kNew), WriteResult::Ok);
    ::umask(previous);
    EXPECT_EQ(statOf(fresh).st_mode & 07777, 0666u & ~mask);
  }
}

TEST(FileWriter, InterruptedWriteIsRetried) {
  const std::string dir = freshFolder("eintr");
  WatchingWriter writer;
  writer.interruptions = 1;
  ASSERT_EQ(writer.writeFile(dir + "/plug.rdt", kNew), WriteResult::Ok);
  EXPECT_EQ(writer.interruptions, 0);
  EXPECT_EQ(readFile(dir + "/plug.rdt"), kNew);
}

TEST(FileWriter, AFailureLeavesTheSystemsReasonInErrno) {
  const std::string dir = freshFolder("reasons");
  fs::create_directories(dir + "/folder.rdt");
  ASSERT_EQ(::mkfifo((dir + "/pipe.rdt").c_str(), 0644), 0);
  fs::create_symlink("loop", dir + "/loop");
  FileWriter writer;
  const struct {
    std::string path;
    int reason;
  } refused[] = {{dir + "/folder.rdt", EISDIR},
                 {dir + "/pipe.rdt", ENOTSUP},
                 {dir + "/loop", ELOOP},
                 {dir + "/no/such/folder/plug.rdt", ENOENT}};
  for (const auto& r : refused) {
    errno = 0;
    EXPECT_EQ(writer.writeFile(r.path, kNew), WriteResult::CreateFailed) << r.path;
    EXPECT_EQ(errno, r.reason) << r.path;
  }
  // A full disk, told by the failing write, not by the clean-up of the temporary file after it.
  WatchingWriter full;
  full.fail = true;
  errno = 0;
  EXPECT_EQ(full.writeFile(dir + "/full.rdt", kNew), WriteResult::WriteFailed);
  EXPECT_EQ(errno, ENOSPC);

  // The document keeps it for a message that names it.
  PromptedDocument l;
  ASSERT_EQ(CodePlugBuilder().loadInto(l.doc), 0);
  EXPECT_EQ(l.doc.saveCodePlug(dir + "/folder.rdt"), kSaveCreate);
  EXPECT_EQ(l.doc.saveError(), EISDIR);
}

// ---- as an ordinary user ----

class UnprivilegedSave : public ::testing::Test {
 protected:
  // A folder and a file in it owned by the unprivileged user, with the given modes.
  void prepare(const std::string& name, mode_t folderMode, mode_t fileMode) {
    dir = freshFolder(name);
    target = dir + "/plug.rdt";
    writeFile(target, kOld);
    giveToUnprivileged(dir);
    giveToUnprivileged(target);
    ::chmod(target.c_str(), fileMode);
    ::chmod(dir.c_str(), folderMode);
  }
  // Runs the body unprivileged and gives its status; skips when privileges stay.
  int run(const std::function<int()>& body) {
    const auto status = runUnprivileged(body);
    if (!status) ADD_FAILURE() << "could not drop root privileges";
    return status.value_or(-1);
  }
  void TearDown() override {
    if (!dir.empty()) ::chmod(dir.c_str(), 0755);
  }
  std::string dir, target;
};

TEST_F(UnprivilegedSave, ReadOnlyFileIsRefusedWithTheCreateCode) {
  prepare("readonly", 0755, 0444);
  const int status = run([&] {
    ScriptedPrompt prompt;
    CodePlugDocument doc(&prompt);
    doc.adoptImage(CodePlugBuilder().bytes());
    if (doc.saveCodePlug(target) != kSaveCreate) return 2;
    if (prompt.texts("error") != std::vector<std::string>{"Could not create the code plug file"}) return 3;
    return 0;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(readFile(target), kOld);
  EXPECT_EQ(statOf(target).st_mode & 07777, 0444u);
  EXPECT_EQ(namesIn(dir), std::vector<std::string>{"plug.rdt"});
}

TEST_F(UnprivilegedSave, FileInAFolderThatTakesNoNewFileIsWrittenInPlace) {
  prepare("lockedfolder", 0555, 0600);
  const ino_t inode = statOf(target).st_ino;
  const int status = run([&] {
    WatchingWriter writer;
    writer.fail = true;
    if (writer.writeFile(target, kNew) != WriteResult::WriteFailed) return 1;
    if (readFile(target) != kOld) return 2;
    writer.fail = false;
    if (writer.writeFile(target, kNew) != WriteResult::Ok) return 3;
    // A new file cannot be made there at all.
    if (writer.writeFile(dir + "/other.rdt", kNew) != WriteResult::CreateFailed) return 4;
    return 0;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(readFile(target), kNew);
  EXPECT_EQ(statOf(target).st_ino, inode);
  EXPECT_EQ(namesIn(dir), std::vector<std::string>{"plug.rdt"});
}

TEST_F(UnprivilegedSave, AnotherUsersWritableFileKeepsItsOwner) {
  if (!runningAsRoot()) GTEST_SKIP() << "needs a file of another user: run as root";
  prepare("othersfile", 0777, 0666);
  ASSERT_EQ(::chown(target.c_str(), 0, 0), 0);  // root's file, writable by everyone
  const ino_t inode = statOf(target).st_ino;
  const int status = run([&] { return FileWriter().writeFile(target, kNew) == WriteResult::Ok ? 0 : 1; });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(readFile(target), kNew);
  EXPECT_EQ(statOf(target).st_uid, 0u);
  EXPECT_EQ(statOf(target).st_ino, inode);  // written in place: a new file could not be given to root
  EXPECT_EQ(namesIn(dir), std::vector<std::string>{"plug.rdt"});
}

// ---- loading ----

TEST(Load, AnythingButARegularFileFailsToOpenWithoutBlocking) {
  PromptedDocument l;
  ASSERT_EQ(CodePlugBuilder().channel(0, "Keep").loadInto(l.doc), 0);
  const auto working = l.doc.workingImage;
  const std::string dir = freshFolder("loadspecial");
  fs::create_directories(dir + "/folder.rdt");
  ASSERT_EQ(::mkfifo((dir + "/pipe.rdt").c_str(), 0644), 0);
  fs::create_symlink("pipe.rdt", dir + "/to-pipe.rdt");
  for (const std::string& name :
       {dir + "/folder.rdt", dir + "/pipe.rdt", dir + "/to-pipe.rdt", std::string("/dev/null")})
    EXPECT_EQ(l.doc.loadCodePlug(name, true), kLoadOpen) << name;
  EXPECT_EQ(l.prompt.texts("error"), std::vector<std::string>(4, "Could not open the code plug file"));
  EXPECT_EQ(l.doc.workingImage, working);
}
