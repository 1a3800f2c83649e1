// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_save_panel.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace tesuko {

namespace {

QString typePattern(const std::string& type) {
    std::string_view bare = type;
    if (bare.size() >= 2 && bare.front() == '\'' && bare.back() == '\'') {
        bare = bare.substr(1, bare.size() - 2);
    }
    return "*." + QString::fromUtf8(bare.data(), qsizetype(bare.size()));
}

}  // namespace

QStringList saveDialogNameFilters(const std::vector<std::string>& allowedFileTypes) {
    QStringList patterns;
    for (const std::string& type : allowedFileTypes) {
        QString pattern = typePattern(type);
        if (!patterns.contains(pattern)) {
            patterns << pattern;
        }
    }
    return {"CSV (" + patterns.join(' ') + ")"};
}

std::optional<std::string> QtSavePanel::runModal(const std::vector<std::string>& allowedFileTypes) {
    QFileDialog dialog;
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(saveDialogNameFilters(allowedFileTypes));
    dialog.setDefaultSuffix("csv");
    // Records are appended to a chosen file, never replace it: no question to ask.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath())
        .toStdString();
}

std::optional<std::string> QtSavePanel::runFolderModal() {
    const QString folder = QFileDialog::getExistingDirectory(
        nullptr, QCoreApplication::translate("QtStatusMenu", "Folder to Share"));
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return QFile::encodeName(QFileInfo(folder).absoluteFilePath()).toStdString();
}

}  // namespace tesuko
