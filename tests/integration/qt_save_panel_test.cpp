#include "platform/qt/qt_save_panel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "settings/file_url.h"
#include "tests/integration/temp_dir.h"

namespace tesuko {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kAllowedTypes = {"csv", "'CSV'"};

// The widgets need an application. The minimal platform needs no display and,
// unlike the offscreen one, loads no fontconfig, whose caches outlive the process
// and read as leaks under the sanitizers.
class QtSavePanelTest : public ::testing::Test {
  protected:
    QtSavePanelTest() {
        if (!QCoreApplication::instance()) {
            ::setenv("QT_QPA_PLATFORM", "minimal", 0);
            application_ = std::make_unique<QApplication>(argc_, argv_);
        }
    }

  private:
    int argc_ = 1;
    char name_[13] = "tesuko-tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

// Runs the panel, calling `user` at every tick while the dialog is up, as a user
// who looks again until the dialog shows what they typed. Fails and cancels
// when the dialog stays up beyond the bound.
SavePanelResult runPanel(const std::function<void(QFileDialog&)>& user) {
    QTimer poll;
    int ticks = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            if (!dialog || !dialog->isVisible()) {
                continue;
            }
            if (++ticks > 500) {
                ADD_FAILURE() << "the save dialog did not close";
                dialog->reject();
            } else {
                user(*dialog);
            }
            return;
        }
    });
    poll.start(10);
    return QtSavePanel().runModal(kAllowedTypes);
}

QString qtPath(const std::string& path) {
    return QString::fromUtf8(path.data(), qsizetype(path.size()));
}

TEST_F(QtSavePanelTest, OffersCsvFilesSavesWithoutAskingToReplaceAndCancelGivesZero) {
    QStringList filters;
    bool confirmsOverwrite = true;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    SavePanelResult result = runPanel([&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        confirmsOverwrite = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
        mode = dialog.acceptMode();
        dialog.reject();
    });
    EXPECT_EQ(filters, QStringList{"CSV (*.csv *.CSV)"});
    EXPECT_EQ(mode, QFileDialog::AcceptSave);
    EXPECT_FALSE(confirmsOverwrite);
    EXPECT_EQ(result.result, SavePanelResult::kCancelled);
    EXPECT_EQ(result.fileUrl, "");
}

TEST_F(QtSavePanelTest, AChosenFileComesBackAsFileUrlText) {
    TempDir tmp;
    const std::string folder = fs::canonical(tmp.path()).string() + "/My Logs 日本\u3000100%";
    fs::create_directories(folder);
    struct Case {
        std::string typed;
        std::string expectedPath;
    };
    const Case cases[] = {
        {"week 1.csv", folder + "/week 1.csv"},
        {"#週&.CSV", folder + "/#週&.CSV"},
        {"no suffix", folder + "/no suffix.csv"},
    };
    for (const Case& c : cases) {
        SavePanelResult result = runPanel([&](QFileDialog& dialog) {
            if (dialog.selectedFiles() == QStringList{qtPath(c.expectedPath)}) {
                static_cast<QDialog&>(dialog).accept();  // as the Save button does
                return;
            }
            // The folder loads in the background and may clear a name typed early.
            if (dialog.directory().absolutePath() != qtPath(folder)) {
                dialog.setDirectory(qtPath(folder));
            }
            auto* nameEdit = dialog.findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(nameEdit, nullptr);
            nameEdit->setText(qtPath(c.typed));
        });
        EXPECT_EQ(result.result, SavePanelResult::kConfirmed) << c.typed;
        EXPECT_EQ(result.fileUrl, fileUrlFromPath(c.expectedPath)) << c.typed;
        EXPECT_EQ(percentDecode(pathFromUrlText(result.fileUrl)), c.expectedPath);
    }
}

TEST_F(QtSavePanelTest, AllowedTypesBecomeOnePatternEach) {
    EXPECT_EQ(saveDialogNameFilters({"csv", "'CSV'"}), QStringList{"CSV (*.csv *.CSV)"});
    EXPECT_EQ(saveDialogNameFilters({"csv", "'csv'", "'"}), QStringList{"CSV (*.csv *.')"});
}

}  // namespace
}  // namespace tesuko
