// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/programs.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace tesuko {

void start(QProcess& process, const std::vector<std::string>& argv, const EnvChanges& env,
           const std::string& logFile) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : env) {
        environment.remove(QString::fromStdString(name));
        if (value) {
            environment.insert(QString::fromStdString(name), QString::fromStdString(*value));
        }
    }
    process.setProcessEnvironment(environment);
    if (logFile.empty()) {
        process.setStandardErrorFile(QProcess::nullDevice());
    } else {
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setStandardOutputFile(QString::fromStdString(logFile), QIODevice::Append);
    }
    QStringList arguments;
    for (std::size_t i = 1; i < argv.size(); ++i) {
        arguments << QString::fromStdString(argv[i]);
    }
    process.start(QString::fromStdString(argv[0]), arguments);
    if (!process.waitForStarted()) {
        throw std::runtime_error("cannot start " + argv[0] + " (`make deps` installs it): " +
                                 process.errorString().toStdString());
    }
}

std::optional<int> exitStatus(QProcess& process, std::chrono::milliseconds bound) {
    if (process.state() != QProcess::NotRunning &&
        !process.waitForFinished(static_cast<int>(bound.count()))) {
        return std::nullopt;
    }
    return process.exitCode() + (process.exitStatus() == QProcess::CrashExit ? 128 : 0);
}

Finished run(const std::vector<std::string>& argv, const EnvChanges& env) {
    QProcess process;
    start(process, argv, env);
    // A braced list runs in order: the output is read once the program ended.
    return {exitStatus(process), process.readAllStandardOutput().toStdString()};
}

void addLoginItem(const std::string& configFolder, const std::string& program) {
    std::filesystem::create_directories(configFolder + "/autostart");
    std::ofstream(configFolder + "/autostart/tesuko.desktop")
        << "[Desktop Entry]\nType=Application\nName=tesuko\nExec=" << program << "\n";
}

std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds bound) {
    for (auto deadline = std::chrono::steady_clock::now() + bound; !condition();) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(25ms);
    }
    return true;
}

}  // namespace tesuko
