// The release packages as a viewer gets them (scripts/release writes them): each unpacked into a
// fresh folder and run from there, the Linux one natively and the Windows one under Wine, for one
// start, a frame and Escape; and what is in them: every program and asset, a README.txt, no
// debug symbols, and for Linux every run-time library's Debian package named in the README.
#include "windows/wine_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Unpacks the package into a fresh folder, as a user would, and returns its one top folder.
std::string unpack(const std::string& package)
{
    const std::string archive = std::string(LUMARQ_DIST_DIR) + "/" + package;
    EXPECT_TRUE(fs::is_regular_file(archive)) << archive << " is missing: run scripts/release";
    const std::string dir = makeTempDir("lumarq-unpacked");
    ProcessOptions options;
    options.workingDirectory = dir;
    const ProcessResult unpacked = runProcess({LUMARQ_CMAKE, "-E", "tar", "xf", archive}, options);
    EXPECT_EQ(unpacked.exitStatus, 0) << unpacked.err;
    return dir;
}

void expectEverythingInside(const std::string& folder, const std::string& programSuffix)
{
    std::vector<std::string> expected = {"README.txt",
                                         "lumarq-capture" + programSuffix,
                                         "mp3/zarathustra2.mp3",
                                         "models/ground.obj",
                                         "models/ground_normal.png",
                                         "shader/Toon.vertexshader",
                                         "shader/DepthRTT.fragmentshader"};
    for (const std::string& size : displaySizes) {
        expected.push_back("lumarq-" + size + programSuffix);
    }
    for (const std::string& file : expected) {
        EXPECT_TRUE(fs::is_regular_file(folder + "/" + file)) << file << " is not in the package";
    }
    size_t models = 0;
    for (const auto& entry : fs::directory_iterator(folder + "/models")) {
        models += entry.path().extension() == ".obj" ? 1 : 0;
    }
    EXPECT_EQ(models, 8u) << "the eight model files";
}

struct UnpackedPackage {
    std::string dir;     // the fresh folder it was unpacked into
    std::string folder;  // the package's one folder in it
    std::string readme;
};

// Unpacks lumarq-<version>-<platform>.<extension> and checks what every package holds.
UnpackedPackage unpackPackage(const std::string& platform, const std::string& extension,
                              const std::string& programSuffix)
{
    UnpackedPackage package;
    const std::string name = std::string("lumarq-") + LUMARQ_VERSION + "-" + platform;
    package.dir = unpack(name + extension);
    package.folder = package.dir + "/" + name;
    expectEverythingInside(package.folder, programSuffix);
    package.readme = readFile(package.folder + "/README.txt");
    EXPECT_NE(package.readme.find("OpenGL 3.3"), std::string::npos) << "the README says what the programs need";
    return package;
}

void expectNoDebugSymbols(const std::string& objdump, const std::string& program)
{
    const ProcessResult sections = runProcess({objdump, "-h", program}, {});
    ASSERT_EQ(sections.exitStatus, 0) << sections.err;
    EXPECT_EQ(sections.out.find(".debug_"), std::string::npos) << program << " carries debug symbols";
}

// The libraries a Linux program links itself (its NEEDED entries), as paths that ldd resolves.
std::vector<std::string> neededLibraries(const std::string& program)
{
    std::set<std::string> needed;
    std::istringstream dynamic(runProcess({"/usr/bin/objdump", "-p", program}, {}).out);
    for (std::string word; dynamic >> word;) {
        if (word == "NEEDED" && dynamic >> word) {
            needed.insert(word);
        }
    }
    std::vector<std::string> paths;
    std::istringstream resolved(runProcess({"/usr/bin/ldd", program}, {}).out);
    for (std::string line; std::getline(resolved, line);) {
        std::istringstream words(line);
        std::string soname, arrow, path;
        if (words >> soname >> arrow >> path && arrow == "=>" && needed.count(soname)) {
            paths.push_back(fs::canonical(path).string());
        }
    }
    EXPECT_EQ(paths.size(), needed.size()) << program << ": a library that ldd cannot find";
    return paths;
}

// The package that installed a library; dpkg knows some under /lib, where /usr/lib is linked.
std::string packageOf(const std::string& library)
{
    std::string owner = runProcess({"/usr/bin/dpkg", "-S", library}, {}).out;
    if (owner.empty() && library.rfind("/usr/", 0) == 0) {
        owner = runProcess({"/usr/bin/dpkg", "-S", library.substr(4)}, {}).out;
    }
    return owner.substr(0, owner.find(':'));
}

TEST(ReleasePackages, TheLinuxPackageRunsFromItsUnpackedFolder)
{
    const UnpackedPackage package = unpackPackage("linux-x86_64", ".tar.gz", "");
    const std::string& folder = package.folder;
    const std::string& readme = package.readme;

    // Every library the programs load comes from a Debian package that the README names.
    std::set<std::string> named;
    std::istringstream install(readme.substr(readme.find("apt-get install ")));
    for (std::string word; install >> word && word.find('\n') == std::string::npos;) {
        named.insert(word);
    }
    const std::set<std::string> everywhere = {"libc6", "libstdc++6", "libgcc-s1"};
    for (const std::string& size : displaySizes) {
        const std::string program = folder + "/lumarq-" + size;
        expectNoDebugSymbols("/usr/bin/objdump", program);
        for (const std::string& library : neededLibraries(program)) {
            const std::string package = packageOf(library);
            if (!everywhere.count(package)) {
                EXPECT_TRUE(named.count(package))
                    << library << " comes from " << package << ", not named in README.txt";
            }
        }
    }

    ProcessOptions options;
    options.workingDirectory = folder;
    options.setEnv = {"ALSOFT_DRIVERS=null"};
    options.timeoutSeconds = 120;
    const ProcessResult run = runProcess(untilEscape({folder + "/lumarq-1280x720"}), options);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("END MOVE OBJECTS: 0"), std::string::npos) << run.out;
    fs::remove_all(package.dir);
}

TEST(ReleasePackages, TheWindowsPackageRunsUnderWineFromItsUnpackedFolder)
{
    const UnpackedPackage package = unpackPackage("windows-x64", ".zip", ".exe");
    const std::string& folder = package.folder;
    const std::string& readme = package.readme;
    for (const std::string& size : displaySizes) {
        EXPECT_NE(readme.find("lumarq-" + size + ".exe"), std::string::npos) << "which program fits which display";
    }
    size_t lineEnds = 0;
    for (size_t at = readme.find('\n'); at != std::string::npos; at = readme.find('\n', at + 1), ++lineEnds) {
        ASSERT_TRUE(at > 0 && readme[at - 1] == '\r') << "Windows line ends, for Notepad";
    }
    EXPECT_GT(lineEnds, 20u);
    for (const std::string& size : displaySizes) {
        expectNoDebugSymbols(LUMARQ_MINGW_OBJDUMP, folder + "/lumarq-" + size + ".exe");
    }

    WineRun wine = prepareWineRun(WineAudio::discarded);
    ASSERT_TRUE(wine.ready);
    wine.options.workingDirectory = folder;
    const ProcessResult run = runProcess(untilEscape(underWine("lumarq-1280x720.exe")), wine.options);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("END MOVE OBJECTS: 0"), std::string::npos) << run.out;
    fs::remove_all(package.dir);
}

}  // namespace
