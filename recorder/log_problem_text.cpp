// SPDX-License-Identifier: GPL-3.0-or-later
#include "recorder/log_problem_text.h"

namespace tesuko {

std::string logProblemText(const LogProblem& problem) {
    constexpr const char* kDoing[] = {"Could not create the folder ", "Could not open the log ",
                                      "Could not write a record to ", "Could not read ",
                                      "Could not rewrite "};
    return kDoing[static_cast<int>(problem.doing)] + problem.path + ": " + faultText(problem.fault);
}

}  // namespace tesuko
