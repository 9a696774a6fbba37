// A long run: the whole show and ten unscripted minutes after it, at 30 frames per second of
// virtual time, every 30th frame drawn. After a warm-up that has seen every style and key path,
// resident memory and the number of live GL objects must stay put and no GL error may appear.
#include "app/scene.h"
#include "tool_session.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

constexpr double frameMs = 1000.0 / 30.0;
constexpr int drawEvery = 30;
constexpr double warmUpEndMs = 170000.0;          // the show, then one more round of every key
constexpr double soakEndMs = 88000.0 + 600000.0;  // ten minutes past the end of the script

long residentBytes()
{
    long pages = 0;
    long resident = 0;
    FILE* statm = fopen("/proc/self/statm", "r");
    if (statm == nullptr) {
        return -1;
    }
    const int read = fscanf(statm, "%ld %ld", &pages, &resident);
    fclose(statm);
    return read == 2 ? resident * sysconf(_SC_PAGESIZE) : -1;
}

// Live GL objects of every kind the demo makes, counted by name over a range far beyond what it uses.
int liveGlObjects()
{
    int count = 0;
    for (GLuint name = 1; name <= 4096; ++name) {
        count += glIsBuffer(name) + glIsTexture(name) + glIsProgram(name) + glIsShader(name) +
                 glIsFramebuffer(name) + glIsVertexArray(name);
    }
    return count;
}

// After the script: a key every 15 s, cycling through the styles and the camera toggle.
char unscriptedKey(long frame)
{
    const long period = static_cast<long>(15000.0 / frameMs);
    if (frame * frameMs < 88000.0 || frame % period != 0) {
        return 0;
    }
    static const char cycle[] = {'2', '0', '3', '0', '1'};
    return cycle[(frame / period) % 5];
}

TEST(Soak, TheShowAndTenUnscriptedMinutesKeepMemoryAndGlObjectsFlatWithoutGlErrors)
{
    ToolSession session;
    ASSERT_TRUE(openToolSession(session, {"soak test", 160, 90}));

    long warmResident = -1;
    int warmObjects = -1;
    int errors = 0;
    long frame = 0;
    for (; frame * frameMs <= soakEndMs; ++frame) {
        const double ms = frame * frameMs;
        if (const char key = unscriptedKey(frame)) {
            session.keys.push_back({static_cast<int>(ms), key});
        }
        runToolFrame(session, ms, frame % drawEvery == 0);
        if (glGetError() != GL_NO_ERROR) {
            ++errors;
        }
        if (warmResident < 0 && ms >= warmUpEndMs) {
            warmResident = residentBytes();
            warmObjects = liveGlObjects();
        }
    }
    const long endResident = residentBytes();
    const int endObjects = liveGlObjects();
    closeToolSession(session);
    printf("soak: %ld frames; resident %ld bytes after warm-up, %ld at the end; %d GL objects, then %d\n", frame,
           warmResident, endResident, warmObjects, endObjects);

    EXPECT_EQ(errors, 0);
    EXPECT_GT(frame, 20000);
    ASSERT_GT(warmResident, 0);
    EXPECT_LT(endResident - warmResident, 1024 * 1024)
        << "resident " << warmResident << " bytes after warm-up, " << endResident << " at the end";
    EXPECT_GT(warmObjects, 0);
    EXPECT_EQ(endObjects, warmObjects);
}

}  // namespace
