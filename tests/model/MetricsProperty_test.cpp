#include "model/QuorvelRunner.h"
#include "support/TestEnv.h"

#include <gtest/gtest.h>

namespace {

// The metrics file is an optional project property: files without it read and write as before.
TEST(MetricsProperty, RoundTripsAndIsLeftOutWhenEmpty)
{
    TempDir dir;
    const std::string path = dir.File("p.qvl");
    QuorvelRunner project;
    project.metricsFile = "/var/lib/node/quorvel $DATE$.prom";
    ASSERT_EQ(project.Save(path), 0);
    QuorvelRunner loaded;
    loaded.Load(path);
    EXPECT_EQ(loaded.metricsFile, project.metricsFile); // no macro is expanded

    // The backup exists now, so this save rewrites the file in place: the key must still go.
    project.metricsFile.clear();
    ASSERT_EQ(project.Save(path), 0);
    EXPECT_EQ(ReadFile(path).find("Metrics"), std::string::npos);
    loaded.Load(path);
    EXPECT_EQ(loaded.metricsFile, "");

    loaded.metricsFile = "x.prom";
    loaded.Clear();
    EXPECT_EQ(loaded.metricsFile, "");
}

} // namespace
