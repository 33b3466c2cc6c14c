#pragma once

#include "engine/StatusPage.h"
#include "external/support/CSettings.h"
#include "external/support/FileOps.h"
#include "model/QuorvelRunner.h"
#include "support/RecordingBox.h"
#include "support/TestEnv.h"
#include "support/TestEvents.h"
#include "support/TestServices.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// Records every status an event posts, per row, and lets a test react to one on the worker
// thread that posts it.
class RecordingPage : public StatusPage {
public:
    void ClearLists() override;
    void EnableRunControls(bool running) override;
    int AddActiveRow(Quorvel& event, const std::string& text) override;
    void SetRowStatus(int row, const std::string& text) override { Record(row, text); }
    void KeepAlive() override { }

    // The statuses of the row of the event with this note, in order.
    std::vector<std::string> Statuses(const std::string& note) const;
    int Count(const std::string& note, const std::string& status) const;
    std::string Last(const std::string& note) const;

    // Called (on the posting thread) for every status after it is recorded.
    std::function<void(const std::string& note, const std::string& status)> onStatus;
    std::vector<bool> runControls;

private:
    void Record(int row, const std::string& text);

    mutable std::mutex mutex_;
    std::vector<std::pair<std::string, std::vector<std::string>>> rows_; // note, statuses
};

// A temporary folder, a preference store, a message-box recorder and helpers to build events.
class EngineTest : public ::testing::Test {
protected:
    EngineTest() { g_settings = settings.get(); }
    ~EngineTest() override { g_settings = nullptr; }

    // Saves `project` as project.qvl in the folder; its path.
    std::string SaveProject()
    {
        EXPECT_EQ(project.Save(dir.File("project.qvl")), 0);
        return dir.File("project.qvl");
    }
    // A SQL event on the PostgreSQL server of the test services.
    Quorvel PgEvent(const std::string& note, const std::string& sql = "SELECT 1")
    {
        return SqlEvent(note, PostgresConnection().target, sql, DS_POSTGRES);
    }

    TempDir dir;
    std::unique_ptr<CSettings> settings = std::make_unique<CSettings>(dir.File("settings.toml"));
    RecordingBox box;
    RecordingPage page;
    QuorvelRunner project;
};
