// The installation: `cmake --install` of this build into a fresh prefix puts
// the program with its files, the command-line tool, Plinq and the desktop
// integration in place, and the installed program runs from there. It
// installs the whole build, so it runs after a full `cmake --build`.
#include <fstream>
#include <sstream>

#include "gui/e2e/e2e_support.h"

namespace {

namespace fs = std::filesystem;
using e2e::Child;

class InstallTest : public e2e::ProgramTest {
 protected:
  InstallTest() : ProgramTest(VARNOLDE_PROGRAM) {}

  // Runs `argv` to its end with its output in the test's folder; its exit
  // status.
  int Run(const std::vector<std::string>& argv) {
    const std::string log = (root_ / "run.log").string();
    const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    auto child = Child::Start(argv, {}, -1, out);
    close(out);
    return child ? child->Wait(std::chrono::seconds(120)) : -1;
  }

  static std::string Read(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
};

TEST_F(InstallTest, InstalledProgramOpensAScaleFileGivenOnItsCommandLine) {
  const fs::path prefix = root_ / "prefix";
  ASSERT_EQ(Run({VARNOLDE_CMAKE, "--install", VARNOLDE_BUILD_DIR, "--prefix", prefix.string()}), 0)
      << Read(root_ / "run.log");

  // The commands are links into the program's own folder, where its files are.
  const fs::path program = fs::canonical(prefix / "bin" / "varnolde");
  const fs::path folder = program.parent_path();
  for (const char* file : {"varnolde-cli", "DefaultScaler.SetupScl", "Varnolde.upw"})
    EXPECT_TRUE(fs::exists(folder / file)) << file;
  EXPECT_EQ(fs::canonical(prefix / "bin" / "varnolde-cli"), folder / "varnolde-cli");
  const fs::path panel = fs::canonical(prefix / "bin" / "plinq-panel");
  EXPECT_TRUE(fs::exists(panel.parent_path() / "libplinq.so"));
  EXPECT_TRUE(fs::exists(prefix / "share/icons/hicolor/scalable/apps/varnolde.svg"));
  for (const char* file :
       {"share/icons/hicolor/16x16/apps/varnolde.png", "share/icons/hicolor/256x256/apps/varnolde.png",
        "share/man/man1/varnolde.1.gz", "share/man/man1/varnolde-cli.1.gz",
        "share/man/man1/plinq-panel.1.gz", "share/bash-completion/completions/varnolde-cli",
        "share/doc/varnolde/copyright", "share/doc/varnolde/changelog.gz"})
    EXPECT_TRUE(fs::exists(prefix / file)) << file;

  // The shipped desktop files pass the desktop's own checks.
  const fs::path metainfo = prefix / "share/metainfo/org.varnolde.varnolde.metainfo.xml";
  EXPECT_EQ(Run({"desktop-file-validate", (prefix / "share/applications/varnolde.desktop").string()}),
            0)
      << Read(root_ / "run.log");
  EXPECT_EQ(Run({"appstreamcli", "validate", "--no-net", "--pedantic", metainfo.string()}), 0)
      << Read(root_ / "run.log");
  EXPECT_EQ(Run({"xmllint", "--noout", metainfo.string(),
                 (prefix / "share/mime/packages/varnolde.xml").string()}),
            0)
      << Read(root_ / "run.log");

  const std::string desktop = Read(prefix / "share/applications/varnolde.desktop");
  EXPECT_NE(desktop.find("Exec=" + (prefix / "bin" / "varnolde").string() + " %f\n"),
            std::string::npos)
      << desktop;
  EXPECT_NE(desktop.find("MimeType=application/x-varnolde-scale;application/x-varnolde-setup;"),
            std::string::npos);
  // The MIME database built from the installed types knows both extensions,
  // with their letter case.
  ASSERT_EQ(Run({"update-mime-database", (prefix / "share/mime").string()}), 0);
  const std::string globs = Read(prefix / "share/mime/globs2");
  EXPECT_NE(globs.find("application/x-varnolde-scale:*.scl:cs"), std::string::npos) << globs;
  EXPECT_NE(globs.find("application/x-varnolde-setup:*.SetupScl:cs"), std::string::npos);

  // The installed tool makes a scale file from the installed default setup;
  // the installed program opens it as a double-click in a file manager would.
  const std::string scale = (root_ / "data" / "load.scl").string();
  ASSERT_EQ(Run({(prefix / "bin" / "varnolde-cli").string(), "create", scale}), 0);
  Child& started = Start({(prefix / "bin" / "varnolde").string(), scale});
  ASSERT_NO_FATAL_FAILURE(Answer("Varnolde 2010.11.05", {"Tab", "Tab", "ctrl+a", "ctrl+c"}));
  EXPECT_EQ(Clipboard(), scale);
  ASSERT_NO_FATAL_FAILURE(Answer("Varnolde 2010.11.05", {"alt+o"}));
  EXPECT_EQ(started.Wait(), 0);
}

}  // namespace
