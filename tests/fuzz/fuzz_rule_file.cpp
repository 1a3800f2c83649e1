// SPDX-License-Identifier: GPL-3.0-or-later
// The rules file is the user's own text, edited by hand or by the report
// window, and re-read whenever it changes: whatever it holds, reading it and
// applying it to any application and title must never crash or hang, and every
// problem must point at a line that is there.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "categories/classifier.h"
#include "categories/rule_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string application = input.ConsumeRandomLengthString(256);
    const std::string title = input.ConsumeRandomLengthString(1024);
    const std::string text = input.ConsumeRemainingBytesAsString();
    const int lines = int(std::count(text.begin(), text.end(), '\n')) + 1;

    tesuko::RuleFile file = tesuko::parseRuleFile(text);
    for (const tesuko::RuleProblem& problem : file.problems) {
        if (problem.line < 1 || problem.line > lines || problem.column < 1) {
            std::abort();
        }
        tesuko::ruleProblemText("rules", problem);
    }
    tesuko::Classifier classifier{tesuko::RuleSet(std::move(file))};
    classifier.classify(application, title);
    classifier.classify(title, application);
    return 0;
}
