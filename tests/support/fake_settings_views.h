#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/settings/form2.h"
#include "core/settings/form3.h"
#include "tests/support/fake_window_view.h"

namespace latchsweep::testing {

class FakeForm2View : public FakeWindowView<Form2View> {
public:
    std::vector<DirectoryEntry> entries;
    std::size_t current = 0;
    int listings = 0;
    std::string curmm2dir{Form2::kNoDirectory};

    void showDirectories(const std::vector<DirectoryEntry>& list, std::size_t currentIndex) override
    {
        entries = list;
        current = currentIndex;
        ++listings;
    }
    void setCurmm2dir(const std::string& text) override { curmm2dir = text; }

    // The shown names in order, for exact comparisons.
    [[nodiscard]] std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (const auto& entry : entries)
            result.push_back(entry.name);
        return result;
    }
};

class FakeForm3View : public FakeWindowView<Form3View> {
public:
    std::string text = Form3::kInitialDelay; // what the box holds: a test types by assigning it
    std::string set = Form3::kInitialDelay;  // what the presenter last put there
    [[nodiscard]] std::string text1() const override { return text; }
    [[nodiscard]] bool text1Edited() const override { return text != set; }
    void setText1(const std::string& value) override { text = set = value; }
};

} // namespace latchsweep::testing
