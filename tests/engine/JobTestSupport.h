#pragma once
// A manual job on a real store for the tests of the actions: the engine with the external
// server's objects, its progress and item errors recorded, and helpers that point the
// job's parts at folders of the store.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/EmailProcessor.h"
#include "engine/OutlookTools.h"
#include "tests/engine/EngineFixture.h"
#include "tests/engine/EngineProbe.h"

namespace test {

class JobTest : public ::testing::Test {
protected:
    JobTest()
    {
        engine.SetObjectFactory(ServerObjectFactory());
        engine.OnProgress = [this](TEmailProcessor&, const std::string&, int, int,
                                   const std::string& action) {
            steps.push_back(action);
            if (onStep) onStep(action);
        };
        engine.OnItemError = [this](TEmailProcessor&, const std::string&, const std::string& subject,
                                    TDateTime,
                                    const std::string& msg) { errors.push_back(subject + ": " + msg); };
    }

    /// Opens the store and makes the job run over the folder at relPath (no subfolders).
    void FolderJob(const std::string& relPath)
    {
        store.Open();
        engine.SetApplication(store.Application());
        const auto folder = store.Folder(relPath);
        TOptions_Source& source = engine.ManualOptions().Source();
        source.Source = 1;
        source.Entry = folder->EntryID();
        source.Store = folder->StoreID();
        source.FullName = GetFolderPath(folder);
    }

    /// Turns a copy or move part on, with the folder at relPath as its destination.
    void PointAt(TOptions_CopyMove& part, const std::string& relPath, const std::string& mask = "")
    {
        const auto folder = store.Folder(relPath);
        part.Active = true;
        part.Entry = folder->EntryID();
        part.Store = folder->StoreID();
        part.FullName = GetFolderPath(folder);
        part.Mask = mask;
    }

    /// Subjects of the items of a folder, in the collection's order.
    std::vector<std::string> Subjects(const std::string& relPath) const
    {
        std::vector<std::string> subjects;
        const auto items = store.Folder(relPath)->Items();
        for (int i = 1; i <= items->Count(); ++i) subjects.push_back(items->Item(i)->Subject());
        return subjects;
    }

    /// The step texts without "Inspecting".
    std::vector<std::string> ActionSteps() const
    {
        std::vector<std::string> result;
        for (const auto& s : steps) {
            if (s != "Inspecting") result.push_back(s);
        }
        return result;
    }

    StoreFixture store;
    EngineProbe engine;
    std::vector<std::string> steps;
    std::vector<std::string> errors;
    std::function<void(const std::string& action)> onStep;
};

}  // namespace test
