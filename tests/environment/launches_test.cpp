// How the compute operations launch their kernels: every item covered, in
// groups whose sizes come from a fixed set whatever the count, and, on pocl,
// only a few compiled versions of each kernel however many batch sizes it sees
// (pocl compiles a kernel anew for each work-group size and offset kind).

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "environment/computesupport.h"
#include "light_support.h"

namespace {

TEST(LaunchPlan, CoversEveryItemOnceWithAFixedSetOfGroupSizes)
{
    for (int requested : {1, 5, 8, 100, 128, 1024}) {
        const std::size_t full = static_cast<std::size_t>(std::min(requested, 128));
        const std::set<std::size_t> allowed{full, std::min<std::size_t>(8, full), 1};
        for (std::size_t offset : {0, 17}) {
            for (std::size_t n = 0; n <= 600; ++n) {
                const std::vector<KernelLaunch> plan = launchPlan(n, requested, offset);
                const std::vector<KernelLaunch> inOrder = inOrderPlan(n, requested, offset);
                EXPECT_LE(plan.size(), 3u);
                for (const std::vector<KernelLaunch>* launches : {&plan, &inOrder}) {
                    std::size_t next = offset;
                    for (const KernelLaunch& launch : *launches) {
                        ASSERT_EQ(launch.offset, next) << n << " items, groups of " << requested;
                        ASSERT_GT(launch.globalSize, 0u);
                        ASSERT_EQ(launch.globalSize % launch.groupSize, 0u);
                        ASSERT_EQ(allowed.count(launch.groupSize), 1u) << launch.groupSize;
                        next += launch.globalSize;
                    }
                    ASSERT_EQ(next, offset + n) << n << " items, groups of " << requested;
                }
                for (const KernelLaunch& launch : inOrder)
                    ASSERT_EQ(launch.globalSize, launch.groupSize) << "one group per in-order launch";
            }
        }
    }
}

// The versions pocl keeps for `kernel` in its cache: one folder each, inside a
// folder named after the kernel. -1 when the kernel has no folder.
int cachedVersions(const QString& cache, const QString& kernel)
{
    int versions = -1;
    QDirIterator folders(cache, {kernel}, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (folders.hasNext()) {
        const QDir folder(folders.next());
        versions = std::max(versions, 0) + static_cast<int>(folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
    }
    return versions;
}

TEST(KernelCache, BatchesOfManySizesCompileEachKernelAFewTimes)
{
    // An empty cache of this process's own, in place before OpenCL starts.
    QTemporaryDir cache;
    ASSERT_TRUE(cache.isValid());
    setenv("POCL_CACHE_DIR", cache.path().toLocal8Bit().constData(), 1);
    OpenClHolder& holder = lightHolder();
    if (holder.platform.getInfo<CL_PLATFORM_NAME>().find("Portable Computing Language") == std::string::npos)
        GTEST_SKIP() << "not pocl: no per-size compiles to count";

    std::vector<std::size_t> counts;
    for (std::size_t n = 1; n <= 40; ++n)
        counts.push_back(n);
    for (std::size_t n = 120; n <= 140; ++n)
        counts.push_back(n);
    const std::vector<glm::vec4> points(140, glm::vec4(1.0f, 2.0f, 3.0f, 0.0f));
    const std::vector<glm::vec3> buds(140, glm::vec3(1.0f));
    std::vector<float> light(140);
    std::vector<glm::vec3> directions(140);
    StreamCapture out(std::cout);
    for (std::size_t n : counts) {
        const int count = static_cast<int>(n);
        holder.CalcStozci(points.data(), count, points.data(), 3, light.data());
        holder.CalcShadowProp(buds.data(), count, 8, 2, 1.0f, 2.0f, glm::vec3(0.0f), glm::vec3(8.0f), 1.0f);
        holder.CalcShadowPropIzracunPopke(buds.data(), count, 8, glm::vec3(0.0f), glm::vec3(8.0f), 10.0f, 1.0f,
                                          light.data(), directions.data());
        holder.MemSet(0.0f, holder.shadowGrid, n);
    }
    // Three group sizes, each with and without a global offset.
    for (const char* kernel : {"stozciIzracun", "ShadowPropIzracun", "ShadowPropIzracunPopke", "memSet"}) {
        const int versions = cachedVersions(cache.path(), kernel);
        EXPECT_GE(versions, 1) << kernel << " not found in pocl's cache";
        EXPECT_LE(versions, 6) << kernel;
    }
}

}  // namespace
