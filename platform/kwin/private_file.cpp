// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/kwin/private_file.h"

#include <cerrno>
#include <random>
#include <utility>

namespace tesuko {

namespace {

constexpr int kNameTries = 100;

}  // namespace

WrittenPrivateFile PrivateFile::write(FileSystem& files, const std::string& folder,
                                      std::string_view stem, std::string_view suffix,
                                      std::string_view text) {
    const FileFault taken(FileFault::Cause::system, EEXIST);
    std::random_device random;
    std::string path;
    Opened<FileWriter> created{nullptr, taken};
    // A new random name while the last one is taken: the file is private, and
    // never made through a link or over a file already there.
    for (int attempt = 0; attempt < kNameTries && created.error == taken; ++attempt) {
        path =
            folder + "/" + std::string(stem) + "-" + std::to_string(random()) + std::string(suffix);
        created = files.createForWriting(path);
    }
    if (!created.file) {
        return {std::nullopt,
                "could not create a file in " + folder + ": " + faultText(created.error)};
    }
    PrivateFile file(files, std::move(path));
    if (FileError error = created.file->write(text)) {
        return {std::nullopt, "could not write " + file.path() + ": " + faultText(*error)};
    }
    return {std::move(file), ""};
}

PrivateFile::PrivateFile(PrivateFile&& other) noexcept
    : files_(other.files_), path_(std::exchange(other.path_, std::string())) {}

PrivateFile::~PrivateFile() {
    if (!path_.empty()) {
        static_cast<void>(files_.removeFile(path_));
    }
}

}  // namespace tesuko
