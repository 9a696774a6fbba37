// The island's underside, its roots and stalactites, and the two bands of its texture.
#include "island_underside.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include <glm/geometric.hpp>
#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>

#include "ground_atlas.h"
#include "island_terrain.h"
#include "noise.h"
#include "stage_layout.h"

namespace {

constexpr uint32_t modelSeed = 707u;

// The vertical axis the underside converges on, under the island's middle.
const glm::vec2 axisXz(islandCentreX + 0.5f, islandCentreZ + 1.0f);

// The bowl the strata step down along: the share of the way from the rim in to the axis, by
// depth below the rim. A short steep cliff under the rim, then a cone down to the point.
const glm::vec2 bowl[] = {{0.0f, 0.0f}, {0.02f, 0.4f}, {0.06f, 0.8f}, {0.12f, 1.2f},
                          {0.2f, 1.8f}, {0.32f, 2.7f}, {0.45f, 3.7f}, {0.58f, 4.7f},
                          {0.7f, 5.6f}, {0.81f, 6.4f}, {0.91f, 7.3f}, {1.0f, undersideDepth}};

struct Stratum {
    float top;  // depth below the rim; the next stratum's top is this one's bottom
    int rings;  // ring intervals down it: more where the camera passes close
    // It takes every stride-th column: along the +x side, which the camera sees close, and
    // round the rest. The deep strata are narrower and further away.
    int nearStride;
    int farStride;
};
// The first is the earth under the turf, which takes every column of the rim (the top's border)
// all the way round; the last runs down to the point. A stratum takes every column, or every
// second or fourth: the column count is a multiple of four. Each stride is the one above it or
// twice that. Round the far side, seen only from afar, the strata under the earth go coarse
// quickly: every triangle of the island is drawn in every pass of every frame, seen or not.
const Stratum strata[] = {{0.0f, 3, 1, 1}, {0.55f, 4, 1, 2}, {1.3f, 3, 1, 4}, {2.15f, 3, 1, 4},
                          {3.1f, 3, 2, 4}, {4.2f, 3, 2, 4},  {5.4f, 3, 4, 4}, {6.8f, 3, 4, 4}};
constexpr int strideUnit = 4;
constexpr int strataCount = int(std::size(strata));

// Distance the rock keeps from the dive's line: closer rock is pushed back, to half this at least.
constexpr float diveClearance = 1.3f;

struct Column {
    glm::vec3 rim;
    glm::vec2 outward;   // horizontal unit vector from the axis out through the rim point
    float reach = 0.0f;  // horizontal distance from the axis to the rim point
    float along = 0.0f;  // metres along the rim from the loop's start
};

struct Ring {
    float depth;
    float offset;  // metres out from the bowl
};

float distanceToDive(glm::vec3 p, glm::vec3* closest = nullptr)
{
    const glm::vec3 line = diveEnd - diveStart;
    const float t = std::clamp(glm::dot(p - diveStart, line) / glm::dot(line, line), 0.0f, 1.0f);
    const glm::vec3 c = diveStart + line * t;
    if (closest) {
        *closest = c;
    }
    return glm::length(p - c);
}

float distanceToDiveXz(glm::vec2 p)
{
    const glm::vec2 a(diveStart.x, diveStart.z), b(diveEnd.x, diveEnd.z);
    const float t = std::clamp(glm::dot(p - a, b - a) / glm::dot(b - a, b - a), 0.0f, 1.0f);
    return glm::length(p - (a + (b - a) * t));
}

// Pushes rock near the dive's line back from it, by `strength` (0 to 1) of the full push.
glm::vec3 awayFromDive(glm::vec3 p, float strength)
{
    glm::vec3 closest;
    const float d = distanceToDive(p, &closest);
    if (d >= diveClearance || strength <= 0.0f) {
        return p;
    }
    const glm::vec3 direction = d > 1e-4f ? (p - closest) / d : glm::vec3(0.0f, 1.0f, 0.0f);
    const float wanted = 0.5f * diveClearance + d * d / (2.0f * diveClearance);
    return closest + direction * (d + (wanted - d) * strength);
}

float bowlShare(float depth)
{
    for (size_t k = 1; k < std::size(bowl); ++k) {
        if (depth <= bowl[k].y) {
            float t = (depth - bowl[k - 1].y) / (bowl[k].y - bowl[k - 1].y);
            return bowl[k - 1].x + (bowl[k].x - bowl[k - 1].x) * std::max(t, 0.0f);
        }
    }
    return 1.0f;
}

struct Underside {
    std::vector<Column> columns;
    float loopLength = 0.0f;
    // The columns along the +x side, from nearBegin to nearEnd, both multiples of strideUnit.
    int nearBegin = 0;
    int nearEnd = 0;

    // Noise along the rim that closes on itself: `cell` metres per lattice cell, rounded so that
    // a whole number of cells fits once around.
    float loopNoise(float along, float cell, float y, int octaves, uint32_t seed) const
    {
        const int cells = std::max(1, int(std::lround(loopLength / cell)));
        return fbm(glm::vec2(along / loopLength * float(cells), y), octaves, seed, cells);
    }

    // The rock is jointed into blocks along the rim, each stratum's blocks of their own
    // length: a value per block, eased into the next one's over a short step at the joint.
    float blockValue(int k, float along, float length, uint32_t seed) const
    {
        const int blocks = std::max(1, int(std::lround(loopLength / length)));
        float x =
            along / loopLength * float(blocks) + 0.35f * (loopNoise(along, 1.5f, float(k), 2, seed + 1u) - 0.5f);
        float cell = std::floor(x);
        int b = int(cell), next = b + 1;
        auto wrapped = [&](int i) { return ((i % blocks) + blocks) % blocks; };
        float step = smoothstep01(0.85f, 1.0f, x - cell);
        float here = hash2(wrapped(b), k, seed), there = hash2(wrapped(next), k, seed);
        return here + (there - here) * step;
    }

    // Strata tops wander along the rim and shift from block to block, so the bedding is neither
    // ruled level nor continuous.
    float stratumTop(int k, float along) const
    {
        if (k == 0) {
            return 0.0f;
        }
        if (k == strataCount) {
            return undersideDepth;
        }
        return strata[k].top + 0.4f * (loopNoise(along, 6.0f, float(k) * 3.1f, 3, modelSeed + 1u) - 0.5f) +
               0.3f * (blockValue(k, along, 1.8f, modelSeed + 6u) - 0.5f);
    }

    // How far a stratum's top juts out past the bowl, and how far its face has receded at its
    // foot. Where the lip lies outside the foot of the stratum above, a ledge; inside it, an
    // overhang.
    float lip(int k, float along) const
    {
        if (k == 0) {
            return 0.1f;  // the turf curls over the earth
        }
        return 0.8f * blockValue(k, along, 1.6f, modelSeed + 2u) - 0.3f +
               0.25f * (loopNoise(along, 0.8f, float(k) * 13.0f, 2, modelSeed + 2u) - 0.5f);
    }
    float foot(int k, float along) const
    {
        if (k == 0) {
            return -0.2f;
        }
        if (k == strataCount - 1) {
            return 0.0f;
        }
        return lip(k, along) - (0.1f + 0.55f * blockValue(k, along, 2.2f, modelSeed + 3u));
    }

    // Buttresses and gullies running down across the strata, and smaller jags; none at the rim.
    float relief(float along, float depth) const
    {
        float rib = loopNoise(along, 3.5f, depth * 0.1f, 3, modelSeed + 4u);
        float ridged = 1.0f - std::fabs(2.0f * rib - 1.0f);
        float jag = loopNoise(along, 0.6f, depth * 1.5f, 2, modelSeed + 5u) - 0.5f;
        return (0.8f * (ridged - 0.55f) + 0.3f * jag) * smoothstep01(0.0f, 0.35f, depth);
    }

    // Stratum k's profile at one column, from the inner corner under the stratum above down to
    // its own foot.
    std::vector<Ring> profile(int k, float along) const
    {
        const float top = stratumTop(k, along), bottom = stratumTop(k + 1, along), height = bottom - top;
        const float above = k == 0 ? 0.0f : foot(k - 1, along);
        const float out = lip(k, along), in = foot(k, along);
        std::vector<Ring> rings = {{top, above}, {top + 0.04f * height, out - 0.06f}, {top + 0.14f * height, out}};
        const int face = strata[k].rings - 2;
        for (int r = 1; r < face; ++r) {
            float t = float(r) / float(face);
            rings.push_back({top + (0.14f + 0.86f * t) * height, out + (in - out) * std::pow(t, 1.6f)});
        }
        // Exactly the next stratum's first ring, so that the two meet without a crack.
        rings.push_back({bottom, in});
        return rings;
    }

    glm::vec3 point(const Column& c, Ring ring) const
    {
        if (ring.depth <= 0.0f) {
            return c.rim;  // exactly the top surface's border: no seam
        }
        const float radius = c.reach * (1.0f - bowlShare(ring.depth));
        // The relief shrinks near the axis so that strata never cross it.
        const float offset = (ring.offset + relief(c.along, ring.depth)) * std::min(1.0f, radius / 1.6f);
        const glm::vec2 xz = axisXz + c.outward * std::max(radius + offset, 0.0f);
        const glm::vec3 p(xz.x, c.rim.y * (1.0f - ring.depth / undersideDepth) - ring.depth, xz.y);
        return awayFromDive(p, smoothstep01(0.0f, 0.3f, ring.depth));
    }
};

// The rim loop running so that the patches face out, cut finer near the dive.
Underside makeColumns(std::vector<glm::vec3> rim)
{
    float area = 0.0f;
    for (size_t i = 0; i < rim.size(); ++i) {
        const glm::vec3 a = rim[i], b = rim[(i + 1) % rim.size()];
        area += a.x * b.z - b.x * a.z;
    }
    if (area < 0.0f) {
        std::reverse(rim.begin(), rim.end());
    }
    std::vector<int> parts(rim.size());
    int total = 0;
    for (size_t i = 0; i < rim.size(); ++i) {
        const glm::vec3 a = rim[i], b = rim[(i + 1) % rim.size()];
        const float near = distanceToDiveXz(glm::vec2(a.x + b.x, a.z + b.z) * 0.5f);
        parts[i] = near < 3.0f ? 3 : (near < 6.0f ? 2 : 1);
        total += parts[i];
    }
    // A count the coarser strata's strides divide, padded at the loop's start, far from the dive.
    for (size_t i = 0; total % strideUnit != 0; ++i) {
        ++parts[i];
        ++total;
    }
    Underside u;
    for (size_t i = 0; i < rim.size(); ++i) {
        const glm::vec3 a = rim[i], b = rim[(i + 1) % rim.size()];
        for (int k = 0; k < parts[i]; ++k) {
            Column c;
            c.rim = a + (b - a) * (float(k) / float(parts[i]));
            glm::vec2 out = glm::vec2(c.rim.x, c.rim.z) - axisXz;
            c.reach = glm::length(out);
            c.outward = out / c.reach;
            c.along = u.loopLength;
            u.loopLength += glm::length(b - a) / float(parts[i]);
            u.columns.push_back(c);
        }
    }
    // The +x side: the rim past x = 1, whole strides of the coarsest strata wide.
    const int count = int(u.columns.size());
    int first = count, last = 0;
    for (int i = 0; i < count; ++i) {
        if (u.columns[size_t(i)].rim.x > 1.0f) {
            first = std::min(first, i);
            last = std::max(last, i);
        }
    }
    u.nearBegin = first / strideUnit * strideUnit;
    u.nearEnd = std::min((last / strideUnit + 1) * strideUnit, count);
    return u;
}

// Stratum k over an arc of the rim, from column `from` to column `to` (counting on past the
// loop's end where it wraps round), taking every stride-th column; the stratum below takes every
// strideBelow-th.
void addStratumArc(Mesh& mesh, const Underside& u, int k, int from, int to, int stride, int strideBelow,
                   glm::vec2 wrapsAndShift)
{
    const int total = int(u.columns.size());
    const int count = (to - from) / stride;
    const int rings = strata[k].rings + 1;  // the profile's ring points
    std::vector<glm::vec3> grid(size_t(rings) * size_t(count + 1));
    std::vector<float> down(grid.size());  // share of the profile's length from its top
    auto at = [&](int r, int i) -> size_t { return size_t(r * (count + 1) + i); };
    for (int i = 0; i <= count; ++i) {
        const Column& c = u.columns[size_t((from + i * stride) % total)];
        const std::vector<Ring> profile = u.profile(k, c.along);
        for (int r = 0; r < rings; ++r) {
            grid[at(r, i)] = u.point(c, profile[size_t(r)]);
        }
    }
    // Where the stratum below takes every other one of these columns, this one's foot runs
    // straight between them, so that their edges meet without a crack.
    if (strideBelow > stride) {
        for (int i = 1; i < count; i += 2) {
            grid[at(rings - 1, i)] = 0.5f * (grid[at(rings - 1, i - 1)] + grid[at(rings - 1, i + 1)]);
        }
    }
    for (int i = 0; i <= count; ++i) {
        float length = 0.0f;
        for (int r = 1; r < rings; ++r) {
            length += glm::length(grid[at(r, i)] - grid[at(r - 1, i)]);
            down[at(r, i)] = length;
        }
        for (int r = 0; r < rings; ++r) {
            down[at(r, i)] /= std::max(length, 1e-4f);
        }
    }
    const size_t first = mesh.positions.size();
    const UvRect& band = k == 0 ? undersideEarthUv : undersideRockUv;
    addPatch(
        mesh, count, rings - 1,
        [&](float s, float t) {
            return grid[at(int(std::lround(t * float(rings - 1))), int(std::lround(s * float(count))))];
        },
        band);
    const float margin = 0.02f;  // keeps filtering off the neighbouring band
    for (int r = 0; r < rings; ++r) {
        for (int i = 0; i <= count; ++i) {
            const int index = from + i * stride;
            const float along = u.columns[size_t(index % total)].along + (index >= total ? u.loopLength : 0.0f);
            const float v =
                band.hi.y - (band.hi.y - band.lo.y) * (margin + (1.0f - 2.0f * margin) * down[at(r, i)]);
            mesh.uvs[first + at(r, i)] = glm::vec2(along / u.loopLength * wrapsAndShift.x + wrapsAndShift.y, v);
        }
    }
}

void addStratum(Mesh& mesh, const Underside& u, int k, Rng& rng)
{
    // Each stratum wraps the band a whole number of times round its own girth, shifted by its own
    // amount so that strata above one another do not repeat in step.
    const float girth = u.loopLength * (1.0f - bowlShare(0.5f * (strata[k].top + u.stratumTop(k + 1, 0.0f))));
    const glm::vec2 wrapsAndShift(std::max(1.0f, std::round(girth / undersideTileLength)), nextFloat(rng));
    const Stratum& here = strata[k];
    const Stratum& below = strata[std::min(k + 1, strataCount - 1)];
    const int total = int(u.columns.size());
    addStratumArc(mesh, u, k, u.nearBegin, u.nearEnd, here.nearStride, below.nearStride, wrapsAndShift);
    addStratumArc(mesh, u, k, u.nearEnd, u.nearBegin + total, here.farStride, below.farStride, wrapsAndShift);
}

// A tube along `centre(t)`, t from 0 (its top) to 1, `radius(t)` thick, mapped onto `uv`.
template <typename Centre, typename Radius>
void addTube(Mesh& mesh, int sides, int segments, Centre centre, Radius radius, const UvRect& uv)
{
    addPatch(
        mesh, sides, segments,
        [&](float s, float t) {
            // Frame across the tube from its direction here.
            glm::vec3 along =
                glm::normalize(centre(std::min(t + 0.02f, 1.0f)) - centre(std::max(t - 0.02f, 0.0f)));
            glm::vec3 side = glm::normalize(glm::cross(along, glm::vec3(1.0f, 0.0f, 0.0f)));
            glm::vec3 other = glm::cross(along, side);
            float a = s * glm::two_pi<float>();
            // Round the tube in the direction that makes the patch face out of it.
            return centre(t) + radius(t) * (std::cos(a) * other - std::sin(a) * side);
        },
        uv);
}

// Roots hanging from the earth under the rim: they bow out from the face, then hang and sway.
void addRoots(Mesh& mesh, const Underside& u)
{
    const int count = int(u.columns.size());
    for (int i = 0; i < count; ++i) {
        const Column& c = u.columns[size_t(i)];
        const bool nearDive = distanceToDiveXz(glm::vec2(c.rim.x, c.rim.z)) < 6.0f;
        if (hash2(i, 1, modelSeed + 10u) > (nearDive ? 0.3f : 0.06f)) {
            continue;
        }
        const std::vector<Ring> profile = u.profile(0, c.along);
        const Ring at = profile[2 + size_t(hash2(i, 2, modelSeed + 10u) * 2.0f)];
        const glm::vec3 base = u.point(c, {at.depth, at.offset - 0.06f});
        const float length = 0.4f + 1.6f * hash2(i, 3, modelSeed + 10u);
        const float thickness = 0.012f + 0.02f * hash2(i, 4, modelSeed + 10u);
        const float phase = 6.0f * hash2(i, 5, modelSeed + 10u);
        const glm::vec3 out(c.outward.x, 0.0f, c.outward.y), side(-c.outward.y, 0.0f, c.outward.x);
        // Out of the earth, then down, kinked and swaying.
        auto centre = [&](float t) {
            float sway = std::sin(phase + t * 7.0f) + 0.5f * std::sin(phase * 2.3f + t * 17.0f);
            return base + out * (0.22f * std::sin(t * 2.2f) + 0.05f * sway) + side * (0.08f * t * sway) -
                   glm::vec3(0.0f, length * t, 0.0f);
        };
        bool clear = true;
        for (float t = 0.0f; t <= 1.0f; t += 0.125f) {
            clear = clear && distanceToDive(centre(t)) > 0.6f * diveClearance;
        }
        if (!clear) {
            continue;
        }
        addTube(
            mesh, 4, 5, centre, [&](float t) { return thickness * (1.0f - 0.85f * t); }, barkUv);
    }
}

// Stalactites under the deeper strata and a cluster round the point.
void addStalactites(Mesh& mesh, const Underside& u)
{
    const UvRect stoneUv{uvInRect(rockUv, {0.0f, 0.15f}), uvInRect(rockUv, {1.0f, 0.6f})};
    auto hang = [&](glm::vec3 base, float length, float radius, glm::vec2 lean) {
        const size_t first = mesh.positions.size();
        addLathe(
            mesh, 5, 3, [&](float v) { return glm::vec2(radius * std::pow(v, 0.8f), -length * (1.0f - v)); },
            stoneUv);
        for (size_t i = first; i < mesh.positions.size(); ++i) {
            glm::vec3& p = mesh.positions[i];
            p += glm::vec3(lean.x, 0.0f, lean.y) * (p.y * p.y / length);  // bent a little
        }
        transformVertices(mesh, first, glm::translate(glm::mat4(1.0f), base));
        smoothNormals(mesh, first);
    };
    // Under the overhangs of the deeper strata, where the stratum above reaches out past the
    // lip of the one below: nothing is under them there.
    const int count = int(u.columns.size());
    for (int i = 0; i < count; ++i) {
        if (hash2(i, 6, modelSeed + 11u) > 0.3f) {
            continue;
        }
        const Column& c = u.columns[size_t(i)];
        const int k = 4 + int(hash2(i, 7, modelSeed + 11u) * 3.0f);
        const float reach = u.foot(k - 1, c.along) - u.lip(k, c.along);
        if (reach < 0.3f) {
            continue;
        }
        const glm::vec3 base = u.point(c, {u.stratumTop(k, c.along) - 0.08f, u.lip(k, c.along) + 0.5f * reach});
        const float length = 0.5f + 1.3f * hash2(i, 8, modelSeed + 11u);
        hang(base, length, std::min(0.4f * reach, 0.1f + 0.15f * hash2(i, 9, modelSeed + 11u)), c.outward * 0.12f);
    }
    Rng rng = makeRng(modelSeed + 12u);
    for (int n = 0; n < 7; ++n) {
        float angle = float(n) * 0.9f + nextRange(rng, 0.0f, 0.5f);
        float reach = n == 0 ? 0.0f : nextRange(rng, 0.3f, 0.9f);
        glm::vec3 base(axisXz.x + reach * std::cos(angle), 0.0f, axisXz.y + reach * std::sin(angle));
        base.y = -undersideDepth + 0.9f + reach * 1.2f;
        hang(base, (n == 0 ? 2.4f : nextRange(rng, 0.8f, 1.8f)), n == 0 ? 0.4f : nextRange(rng, 0.15f, 0.3f),
             glm::vec2(std::cos(angle), std::sin(angle)) * 0.1f);
    }
}

}  // namespace

void addUnderside(Mesh& mesh, const std::vector<glm::vec3>& rim)
{
    const Underside u = makeColumns(rim);
    Rng rng = makeRng(modelSeed);
    for (int k = 0; k < strataCount; ++k) {
        addStratum(mesh, u, k, rng);
    }
    addRoots(mesh, u);
    addStalactites(mesh, u);
}

Texel paintUndersideEarth(glm::vec2 p)
{
    // One band width is undersideTileLength metres; the noise lattices wrap on it.
    const int across = 256;  // pebble cells once across
    glm::vec2 q(p.x * float(across), p.y * 18.0f);
    float soil = fbm(glm::vec2(p.x * 64.0f, p.y * 5.0f), 4, modelSeed + 20u, 64);
    glm::vec3 color = mixColor(glm::vec3(0.30f, 0.21f, 0.14f), glm::vec3(0.50f, 0.38f, 0.26f), soil * 1.3f - 0.1f);
    color *= 0.75f + 0.25f * p.y;  // damper and darker lower down
    float relief = 1.5f * soil;
    // Pebbles and stones in the earth.
    float pebble = cellDistance(q, modelSeed + 21u, across);
    float stone =
        smoothstep01(0.3f, 0.18f, pebble) * (hash2(int(q.x) % across, int(q.y), modelSeed + 22u) > 0.85f);
    glm::vec3 pebbleColor = mixColor(glm::vec3(0.36f, 0.33f, 0.30f), glm::vec3(0.52f, 0.49f, 0.44f),
                                     hash2(int(q.x) % across, int(q.y), modelSeed + 23u));
    color = mixColor(color, pebbleColor, stone);
    relief += 3.0f * stone;
    // Fine roots threading down through it.
    float thread = std::fabs(fbm(glm::vec2(p.x * 96.0f, p.y * 2.5f), 3, modelSeed + 24u, 96) - 0.5f);
    float root = smoothstep01(0.025f, 0.008f, thread);
    color = mixColor(color, glm::vec3(0.22f, 0.15f, 0.10f), root * 0.8f);
    relief += 1.5f * root;
    // The turf at the top: grass over the lip, its roots matted into the earth below.
    float turf = smoothstep01(0.88f, 0.94f,
                              p.y + 0.06f * (fbm(glm::vec2(p.x * 128.0f, 0.5f), 2, modelSeed + 25u, 128) - 0.5f));
    if (turf > 0.0f) {
        float blades = fbm(glm::vec2(p.x * 512.0f, p.y * 6.0f), 2, modelSeed + 26u, 512);
        glm::vec3 grass = mixColor(glm::vec3(0.20f, 0.34f, 0.11f), glm::vec3(0.40f, 0.56f, 0.20f), blades);
        color = mixColor(color, grass, turf);
        relief = relief + (2.0f * blades - relief) * turf;
    }
    return {color, relief};
}

Texel paintUndersideRock(glm::vec2 p)
{
    // Bedded rock: laminae of a few tints, harder ones standing proud; a few joints running down
    // across them with stains leaking from them; damp and dark at the foot under the stratum
    // above, moss and grit on its ledge.
    float wobble = 0.05f * (fbm(glm::vec2(p.x * 8.0f, 0.5f), 3, modelSeed + 30u, 8) - 0.5f);
    float laminae = fbm(glm::vec2(p.x * 6.0f, (p.y + wobble) * 16.0f), 3, modelSeed + 31u, 6);
    glm::vec3 color =
        mixColor(glm::vec3(0.40f, 0.38f, 0.35f), glm::vec3(0.62f, 0.58f, 0.52f), laminae * 1.4f - 0.2f);
    float band = std::sin((p.y + wobble) * 46.0f + 3.0f * laminae);
    color = mixColor(color, glm::vec3(0.55f, 0.45f, 0.36f), smoothstep01(0.5f, 0.95f, band) * 0.45f);
    float patches = fbm(glm::vec2(p.x * 24.0f, p.y * 3.0f), 3, modelSeed + 39u, 24);
    color *= 0.8f + 0.35f * patches;
    float grain = fbm(p * glm::vec2(512.0f, 60.0f), 2, modelSeed + 32u, 512);
    color *= 0.86f + 0.28f * grain;
    float relief = 2.0f * smoothstep01(0.2f, 0.8f, laminae) + 1.5f * smoothstep01(0.3f, 1.0f, band) + grain;

    // Joints: meandering, mostly down the face, a few to a band width.
    float joint = std::fabs(fbm(glm::vec2(p.x * 14.0f, p.y * 0.7f), 3, modelSeed + 33u, 14) - 0.5f);
    float crack = smoothstep01(0.012f, 0.004f, joint);
    float hairline = std::fabs(fbm(glm::vec2(p.x * 40.0f, p.y * 2.5f), 3, modelSeed + 34u, 40) - 0.5f);
    crack = std::max(crack, 0.5f * smoothstep01(0.008f, 0.002f, hairline));
    float stain =
        smoothstep01(0.06f, 0.0f, joint) * fbm(glm::vec2(p.x * 200.0f, p.y * 3.0f), 2, modelSeed + 35u, 200);
    color = mixColor(color, glm::vec3(0.50f, 0.34f, 0.22f), stain * 0.5f);
    color = mixColor(color, glm::vec3(0.09f, 0.08f, 0.07f), crack * 0.9f);
    relief -= 4.0f * crack;

    float lichen = smoothstep01(0.66f, 0.72f, fbm(p * glm::vec2(120.0f, 10.0f), 3, modelSeed + 36u, 120));
    color = mixColor(color, glm::vec3(0.68f, 0.70f, 0.55f), lichen * 0.5f);
    // The top of the band is the ledge and the corner under the stratum above; the bottom, the
    // receding foot.
    float ledge = smoothstep01(0.86f, 0.95f,
                               p.y + 0.06f * (fbm(glm::vec2(p.x * 64.0f, 1.5f), 2, modelSeed + 37u, 64) - 0.5f));
    float moss = ledge * fbm(glm::vec2(p.x * 160.0f, p.y * 12.0f), 3, modelSeed + 38u, 160);
    color = mixColor(color, glm::vec3(0.26f, 0.36f, 0.14f), smoothstep01(0.4f, 0.65f, moss));
    relief += 2.5f * moss;
    color *= 0.7f + 0.3f * smoothstep01(0.0f, 0.25f, p.y);
    return {color, relief};
}
