// The release packages as a viewer gets them (scripts/release writes them): each unpacked into a
// fresh folder and run from there, the Linux one natively and the Windows one under Wine, for one
// start, a frame and Escape; and what is in them: every program and asset, a README.txt, no
// debug symbols. The Linux programs ask the loader only for what every Linux desktop has, run
// without OpenAL, and draw the show as the developer build does; the Debian package installs
// with apt, starts through its launcher and leaves nothing behind when removed.
//
// Hiding OpenAL and installing the package need root, as the suite has here and in CI.
#include "sound/sound_result.h"
#include "support/picture.h"
#include "windows/wine_run.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>
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

// The demo programs and lumarq-capture, by their file names.
std::vector<std::string> programNames(const std::string& programSuffix)
{
    std::vector<std::string> names = {"lumarq-capture" + programSuffix};
    for (const std::string& size : displaySizes()) {
        names.push_back("lumarq-" + size + programSuffix);
    }
    return names;
}

void expectEverythingInside(const std::string& folder, const std::string& programSuffix)
{
    std::vector<std::string> expected = {"README.txt",
                                         "mp3/zarathustra2.mp3",
                                         "models/ground.obj",
                                         "models/ground_normal.png",
                                         "shader/Toon.vertexshader",
                                         "shader/DepthRTT.fragmentshader"};
    for (const std::string& program : programNames(programSuffix)) {
        expected.push_back(program);
    }
    expected.push_back("lumarq" + programSuffix);  // the launcher
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

// What a Linux program asks of the loader: the libraries it names (NEEDED) and any search path of
// its own.
struct LoaderNeeds {
    std::set<std::string> libraries;
    std::string searchPath;  // RPATH or RUNPATH
};

LoaderNeeds loaderNeeds(const std::string& program)
{
    LoaderNeeds needs;
    const ProcessResult dump = runProcess({"/usr/bin/objdump", "-p", program}, {});
    EXPECT_EQ(dump.exitStatus, 0) << dump.err;
    std::istringstream words(dump.out);
    for (std::string word; words >> word;) {
        if (word == "NEEDED" && words >> word) {
            needs.libraries.insert(word);
        } else if ((word == "RPATH" || word == "RUNPATH") && words >> word) {
            needs.searchPath += word;
        }
    }
    return needs;
}

// What a Linux program may ask the loader for: the C library's own parts, the GL and X libraries
// that a GL driver brings, and ALSA. OpenAL is opened at run time, where there is one.
const std::set<std::string> systemLibraries = {
    "libc.so.6",        "libm.so.6",       "libdl.so.2",
    "libpthread.so.0",  "librt.so.1",      "ld-linux-x86-64.so.2",
    "libGL.so.1",       "libOpenGL.so.0",  "libGLX.so.0",
    "libX11.so.6",      "libXext.so.6",    "libXrandr.so.2",
    "libXinerama.so.1", "libXcursor.so.1", "libXi.so.6",
    "libXxf86vm.so.1",  "libasound.so.2",
};

// The glibc version that the README names as the oldest the programs run on.
std::string readmeGlibc(const std::string& readme)
{
    std::smatch match;
    return std::regex_search(readme, match, std::regex(R"(\(glibc\) ([0-9]+(\.[0-9]+)+) or newer)"))
               ? match[1].str()
               : std::string();
}

// The Linux programs of the unpacked package: the demo's, the capture tool and the launcher.
std::vector<std::string> linuxPrograms(const std::string& folder)
{
    std::vector<std::string> programs = {folder + "/lumarq"};
    for (const std::string& name : programNames("")) {
        programs.push_back(folder + "/" + name);
    }
    return programs;
}

TEST(ReleasePackages, TheLinuxProgramsNeedOnlyWhatEveryLinuxDesktopHas)
{
    const UnpackedPackage package = unpackPackage("linux-x86_64", ".tar.gz", "");
    const std::string& readme = package.readme;
    EXPECT_NE(readme.find("OpenAL"), std::string::npos) << "the README says that OpenAL gives the music";
    EXPECT_EQ(readme.find("apt-get"), std::string::npos) << "needs in words, not Debian's package names";
    // The figure is checked against dpkg-shlibdeps' own reading of the programs, in the Debian
    // package's test.
    ASSERT_FALSE(readmeGlibc(readme).empty()) << "the README names the oldest glibc:\n" << readme;

    for (const std::string& program : linuxPrograms(package.folder)) {
        SCOPED_TRACE(program);
        ASSERT_TRUE(fs::is_regular_file(program));
        expectNoDebugSymbols("/usr/bin/objdump", program);
        const LoaderNeeds needs = loaderNeeds(program);
        EXPECT_EQ(needs.searchPath, "") << "a library path of the build machine";
        for (const std::string& library : needs.libraries) {
            EXPECT_TRUE(systemLibraries.count(library)) << library << " is not everywhere";
        }
    }
    fs::remove_all(package.dir);
}

// A key's value in a desktop entry ("Exec=lumarq" gives "lumarq"); empty when it has none.
std::string desktopEntryValue(const std::string& entry, const std::string& key)
{
    std::istringstream in(entry);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return "";
}

// The file that the loader takes for a library name (ldconfig's cache), or "" without one.
std::string loaderPath(const std::string& soname)
{
    std::istringstream cache(runProcess({"/sbin/ldconfig", "-p"}, {}).out);
    for (std::string line; std::getline(cache, line);) {
        std::istringstream words(line);
        std::string name, arrow, path;
        if (words >> name && name == soname && line.find("x86-64") != std::string::npos) {
            return line.substr(line.find("=> ") + 3);
        }
    }
    return "";
}

// A start, a frame and Escape of the 1280x720 build in the unpacked folder, with nothing in the
// environment that points the loader elsewhere.
ProcessResult runFromFolder(const std::string& folder, const std::vector<std::string>& prefix)
{
    ProcessOptions options;
    options.workingDirectory = folder;
    options.setEnv = {"ALSOFT_DRIVERS=null"};
    options.unsetEnv = {"LD_LIBRARY_PATH", "LD_PRELOAD"};
    options.timeoutSeconds = 120;
    std::vector<std::string> command = prefix;
    command.push_back(folder + "/lumarq-1280x720");
    return runProcess(untilEscape(command), options);
}

TEST(ReleasePackages, TheLinuxPackageRunsFromAFreshFolderWithAndWithoutOpenAl)
{
    const UnpackedPackage package = unpackPackage("linux-x86_64", ".tar.gz", "");
    const std::string noOutputLine =
        "FMOD error! (" + std::to_string(soundErrNoOutput) + ") " + soundErrorText(soundErrNoOutput);

    const ProcessResult run = runFromFolder(package.folder, {});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("END MOVE OBJECTS: 0"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("FMOD error!"), std::string::npos) << "OpenAL's null device takes the music\n"
                                                              << run.out;

    // Without OpenAL: in a mount namespace of its own (private, so the machine sees nothing of it)
    // an empty file is mounted over the library that the loader would take, so opening it fails as
    // on a machine that has none. The namespace needs root.
    ASSERT_EQ(geteuid(), 0u) << "hiding a library takes root";
    const std::string library = loaderPath("libopenal.so.1");
    ASSERT_FALSE(library.empty()) << "OpenAL is installed here (scripts/install-deps)";
    const std::string empty = package.dir + "/empty";
    writeFile(empty, "");
    const ProcessResult silent = runFromFolder(
        package.folder, {"/usr/bin/unshare", "--mount", "--propagation", "private", "--", "/bin/sh", "-c",
                         "mount --bind \"$0\" \"$1\" && shift && exec \"$@\"", empty, library});
    EXPECT_EQ(silent.exitStatus, 0) << silent.err;
    EXPECT_NE(silent.out.find("END MOVE OBJECTS: 0"), std::string::npos) << silent.out << silent.err;
    EXPECT_NE(silent.out.find(noOutputLine), std::string::npos) << silent.out;
    EXPECT_EQ(silent.err, "") << "the loader and the audio libraries say nothing of their own";
    fs::remove_all(package.dir);
}

// Stills of the show at these times and size, by a capture program started in its run folder.
const char* const comparedTimes = "10600,38000,60000";  // toon, shadow and bump style

std::string captureStills(const std::string& runFolder, const std::string& program)
{
    const std::string out = makeTempDir("lumarq-release-stills");
    ProcessOptions options;
    options.workingDirectory = runFolder;
    options.timeoutSeconds = 300;
    const ProcessResult result =
        runProcess({program, "--size", "320x180", "--at", comparedTimes, "--out", out}, options);
    EXPECT_EQ(result.exitStatus, 0) << result.out << result.err;
    return out;
}

TEST(ReleasePackages, TheStaticLibrariesDrawTheShowAsTheDevelopmentBuildDoes)
{
    const UnpackedPackage package = unpackPackage("linux-x86_64", ".tar.gz", "");
    const std::string released = captureStills(package.folder, package.folder + "/lumarq-capture");
    const std::string developed = captureStills(LUMARQ_RUN_DIR, std::string(LUMARQ_RUN_DIR) + "/lumarq-capture");
    std::istringstream times(comparedTimes);
    for (std::string time; std::getline(times, time, ',');) {
        SCOPED_TRACE("show time " + time + " ms");
        const Picture release = loadPicture(released + "/frame-" + time + ".png");
        const Picture development = loadPicture(developed + "/frame-" + time + ".png");
        ASSERT_EQ(release.width, 320);
        EXPECT_LE(differingShare(release, development, stillPixelThreshold), stillDifferingLimit);
    }
    fs::remove_all(released);
    fs::remove_all(developed);
    fs::remove_all(package.dir);
}

std::string packageField(const std::string& field)
{
    return runProcess({"/usr/bin/dpkg-query", "-W", "-f=${" + field + "}", "lumarq"}, {}).out;
}

std::vector<std::string> apt(std::vector<std::string> args)
{
    // Waits for another apt to finish rather than failing at once.
    args.insert(args.begin(), {"/usr/bin/apt-get", "-o", "DPkg::Lock::Timeout=300"});
    return args;
}

ProcessResult removePackage()
{
    ProcessOptions options;
    options.setEnv = {"DEBIAN_FRONTEND=noninteractive"};
    options.timeoutSeconds = 600;
    return runProcess(apt({"remove", "-y", "lumarq"}), options);
}

// The machine's package state for one test: runs of the suite side by side take turns (a lock
// file), a package left by an interrupted run goes first, and whatever happens in the test, the
// package goes again at the end.
struct PackageTurn {
    int lock = open("/tmp/lumarq-deb-test.lock", O_CREAT | O_RDWR, 0644);

    PackageTurn()
    {
        flock(lock, LOCK_EX);
        if (packageField("Status") == "install ok installed") {
            removePackage();
        }
    }
    ~PackageTurn()
    {
        if (packageField("Status") == "install ok installed") {
            removePackage();
        }
        close(lock);
    }
};

TEST(ReleasePackages, TheDebianPackageInstallsStartsAndRemovesCleanly)
{
    ASSERT_EQ(geteuid(), 0u) << "installing a package takes root";
    const PackageTurn turn;
    const std::string deb = std::string(LUMARQ_DIST_DIR) + "/lumarq_" + LUMARQ_VERSION + "_amd64.deb";
    ASSERT_TRUE(fs::is_regular_file(deb)) << deb << " is missing: run scripts/release";
    // Paths of the package that are there before it is installed (/usr/bin, say) may stay.
    const ProcessResult tarList =
        runProcess({"/bin/sh", "-c", "dpkg-deb --fsys-tarfile \"$0\" | tar -t", deb}, {});
    ASSERT_EQ(tarList.exitStatus, 0) << tarList.err;
    std::set<std::string> existedBefore;
    for (std::string path : outputLines(tarList.out)) {
        path = path.substr(1);  // "./usr/bin/" -> "/usr/bin/"
        if (path.size() > 1 && path.back() == '/') {
            path.pop_back();
        }
        if (fs::exists(fs::symlink_status(path))) {
            existedBefore.insert(path);
        }
    }
    ASSERT_FALSE(existedBefore.count("/usr/lib/lumarq")) << "/usr/lib/lumarq is there before the package";

    // As a user installs it: a path starting with ./ so that apt takes it for a file.
    ProcessOptions aptOptions;
    aptOptions.workingDirectory = LUMARQ_DIST_DIR;
    aptOptions.setEnv = {"DEBIAN_FRONTEND=noninteractive"};
    aptOptions.timeoutSeconds = 600;
    const ProcessResult install =
        runProcess(apt({"install", "-y", "./" + fs::path(deb).filename().string()}), aptOptions);
    ASSERT_EQ(install.exitStatus, 0) << install.out << install.err;
    const std::vector<std::string> files = outputLines(runProcess({"/usr/bin/dpkg", "-L", "lumarq"}, {}).out);
    ASSERT_GT(files.size(), 20u);
    const std::set<std::string> listed(files.begin(), files.end());
    for (const char* file :
         {"/usr/bin/lumarq", "/usr/lib/lumarq/lumarq", "/usr/lib/lumarq/lumarq-1920x1080",
          "/usr/lib/lumarq/lumarq-capture", "/usr/lib/lumarq/models/ground.obj",
          "/usr/lib/lumarq/mp3/zarathustra2.mp3", "/usr/share/doc/lumarq/README.txt",
          "/usr/share/applications/lumarq.desktop", "/usr/share/icons/hicolor/256x256/apps/lumarq.png"}) {
        EXPECT_TRUE(listed.count(file)) << file << " is not in the package";
    }

    // Its dependencies: the libraries the programs link, found by dpkg-shlibdeps, with the C library
    // from the version the README names; OpenAL is only recommended.
    const std::string depends = packageField("Depends");
    const std::string readme = readFile("/usr/share/doc/lumarq/README.txt");
    EXPECT_NE(depends.find("libc6 (>= " + readmeGlibc(readme) + ")"), std::string::npos) << depends;
    for (const char* bundled : {"openal", "glfw", "assimp", "lodepng", "mpg123", "libstdc++", "zlib"}) {
        EXPECT_EQ(depends.find(bundled), std::string::npos) << bundled << " in " << depends;
    }
    EXPECT_NE(packageField("Recommends").find("libopenal1"), std::string::npos);

    // The menu entry's icon is a picture of the show, and its command starts the show (below).
    const std::string entry = readFile("/usr/share/applications/lumarq.desktop");
    const std::string iconName = desktopEntryValue(entry, "Icon");
    const Picture icon = loadPicture("/usr/share/icons/hicolor/256x256/apps/" + iconName + ".png");
    EXPECT_EQ(icon.width, 256);
    EXPECT_EQ(icon.height, 256);
    std::set<uint32_t> colours;
    for (size_t i = 0; i + 2 < icon.rgb.size(); i += 3) {
        colours.insert(static_cast<uint32_t>(icon.rgb[i]) << 16 | icon.rgb[i + 1] << 8 | icon.rgb[i + 2]);
    }
    EXPECT_GT(colours.size(), 50u) << "the icon shows the stage, not a cleared window";

    ProcessOptions options;
    options.workingDirectory = makeTempDir("lumarq-installed");
    options.setEnv = {"ALSOFT_DRIVERS=null"};
    options.unsetEnv = {"LD_LIBRARY_PATH"};
    options.timeoutSeconds = 120;
    std::vector<std::string> command;
    std::istringstream words(desktopEntryValue(entry, "Exec"));
    for (std::string word; words >> word;) {
        command.push_back(word);
    }
    ASSERT_FALSE(command.empty()) << entry;
    const ProcessResult run = runProcess(untilEscape(command), options);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("END MOVE OBJECTS: 0"), std::string::npos) << "the menu entry starts the show\n"
                                                                      << run.out;
    fs::remove_all(options.workingDirectory);

    const ProcessResult removed = removePackage();
    EXPECT_EQ(removed.exitStatus, 0) << removed.out << removed.err;
    for (const std::string& file : files) {
        if (!existedBefore.count(file)) {
            EXPECT_FALSE(fs::exists(fs::symlink_status(file))) << file << " is left behind";
        }
    }
    EXPECT_NE(packageField("Status"), "install ok installed");
}

TEST(ReleasePackages, TheWindowsPackageRunsUnderWineFromItsUnpackedFolder)
{
    const UnpackedPackage package = unpackPackage("windows-x64", ".zip", ".exe");
    const std::string& folder = package.folder;
    const std::string& readme = package.readme;
    EXPECT_NE(readme.find("start lumarq.exe"), std::string::npos)
        << "the README tells viewers to start the launcher";
    for (const std::string& size : displaySizes()) {
        EXPECT_NE(readme.find("lumarq-" + size + ".exe"), std::string::npos) << "which program fits which display";
    }
    size_t lineEnds = 0;
    for (size_t at = readme.find('\n'); at != std::string::npos; at = readme.find('\n', at + 1), ++lineEnds) {
        ASSERT_TRUE(at > 0 && readme[at - 1] == '\r') << "Windows line ends, for Notepad";
    }
    EXPECT_GT(lineEnds, 20u);
    for (const std::string& program : programNames(".exe")) {
        expectNoDebugSymbols(LUMARQ_MINGW_OBJDUMP, folder + "/" + program);
    }
    expectNoDebugSymbols(LUMARQ_MINGW_OBJDUMP, folder + "/lumarq.exe");

    // Started through the launcher from another folder, as a double-click starts it: the build for
    // the 1280x720 screen plays from the package's folder.
    WineRun wine = prepareWineRun(WineAudio::discarded);
    ASSERT_TRUE(wine.ready);
    wine.options.workingDirectory = package.dir;
    const std::string geometry = package.dir + "/geometry";
    wine.options.setEnv.push_back("LUMARQ_WINDOW_GEOMETRY=" + geometry);
    const ProcessResult run =
        runUnderWine(untilEscape(underWine(folder + "/lumarq.exe")), onScreen(wine.options, "1280x720x24"));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("END MOVE OBJECTS: 0"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("FMOD error!"), std::string::npos) << "it found the music\n" << run.out;
    EXPECT_NE(readFile(geometry).find("Geometry: 1280x720"), std::string::npos) << readFile(geometry);
    fs::remove_all(package.dir);
}

}  // namespace
