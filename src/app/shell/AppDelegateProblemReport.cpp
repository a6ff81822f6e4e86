// The problem report: the debug log and pictures of the first four preference tabs, handed to the
// desktop's mail composer addressed to the maker's support. The log goes as an attached file (a
// mail command's body argument cannot carry a log of megabytes) without its secrets; the files
// are written into a folder of this report's own under the program's temporary folder, which the
// next report removes.
#include "app/shell/AppDelegate.h"

#include "app/shell/MakerLinks.h"
#include "app/shell/ProblemReportText.h"
#include "app/windows/PreferencesWindow.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Log.h"
#include "platform/core/Process.h"
#include "platform/ui/Appearance.h"
#include "platform/ui/ViewSnapshots.h"

#include <QImage>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>

namespace vm {

namespace fs = std::filesystem;

namespace {

constexpr const char* kReportFolderPrefix = "velmoraSDR_problem_report_";
constexpr const char* kLogFileName = "velmoraSDR_Debug_Log.txt";
// The pictures of tabs 0 to 3, in tab order.
constexpr const char* kPictureNames[] = {"radioPrefsView.png", "panPrefsView.png",
                                         "slicePrefsView.png", "regPrefsView.png"};

// A new folder, readable by the user alone, for this report's files; earlier reports' folders
// are removed (their mails were composed long ago). Empty when none can be made.
fs::path freshReportFolder(const fs::path& tmp) {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(tmp, ignored)) {
        if (entry.path().filename().string().starts_with(kReportFolderPrefix)) {
            fs::remove_all(entry.path(), ignored);
        }
    }
    std::string pattern = (tmp / (std::string(kReportFolderPrefix) + "XXXXXX")).string();
    return ::mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
}

}  // namespace

struct AppDelegate::ProblemReportDraft {
    fs::path folder;
    std::vector<std::string> attachments;
    int rememberedTab = 0;
    bool relit = false;  // the window was given the light appearance for the pictures
};

void AppDelegate::sendDebugLog() {
    logLine(std::string(70, '-'));
    auto draft = std::make_shared<ProblemReportDraft>();
    draft->folder = freshReportFolder(tmpPath);
    if (draft->folder.empty()) {
        log("appController:sharingService Error:no folder for the report in {}: {}", tmpPath,
            std::strerror(errno));
        return;
    }
    // A log that cannot be read gives a report without log text.
    const QString logText =
        QString::fromUtf8(readWholeFile(debugLogFilePath).value_or(std::string()));
    const fs::path logFile = draft->folder / kLogFileName;
    if (writeFileAtomically(logFile, debugLogForReport(withoutSecrets(logText)).toStdString())) {
        draft->attachments.push_back(logFile.string());
    } else {
        log("appController:sharingService Error:cannot write {}", logFile.string());
    }
    draft->rememberedTab = prefsWindow->selectedTab();
    draft->relit = darkWindowsOn();
    if (draft->relit) {
        prefsWindow->setPalette(desiredAppearanceObject(false));
    }
    pictureForReport(draft, 0);
}

void AppDelegate::pictureForReport(const std::shared_ptr<ProblemReportDraft>& draft, int tab) {
    prefsWindow->selectTab(tab);
    QWidget& page = prefsWindow->page(tab);
    // A hidden window lays its pages out when it is drawn: drawn whole once, the page has the
    // size and arrangement it shows in the window.
    if (!prefsWindow->isVisible()) {
        views::imageRepresentation(*prefsWindow);
    }
    const QImage picture = views::imageDrawn(page);
    const fs::path file = draft->folder / kPictureNames[tab];
    if (!picture.isNull() && picture.save(QString::fromStdString(file.string()), "PNG")) {
        draft->attachments.push_back(file.string());
    } else {
        log("appController:sharingService Error:no picture of tab {}", tab);
    }
    if (tab + 1 < int(std::size(kPictureNames))) {
        // Each tab in its own turn of the main queue, so that it is drawn first.
        std::weak_ptr<AppDelegate> weak = weak_from_this();
        DispatchQueue::main()->async([weak, draft, tab] {
            if (const auto self = weak.lock()) {
                self->pictureForReport(draft, tab + 1);
            }
        });
        return;
    }
    shareEmailTo({maker::kSupportEmail}, "velmoraSDR Problem Report",
                 problemReportBody(QString::fromLatin1(kLogFileName)).toStdString(),
                 draft->attachments);
    if (draft->relit && window_appearance) {
        prefsWindow->setPalette(*window_appearance);
    }
    prefsWindow->selectTab(draft->rememberedTab);
}

void AppDelegate::shareEmailTo(const std::vector<std::string>& recipients,
                               const std::string& subject, const std::string& body,
                               const std::vector<std::string>& attachments) {
    std::vector<std::string> arguments = {"--utf8", "--subject", subject, "--body", body};
    for (const auto& file : attachments) {
        arguments.insert(arguments.end(), {"--attach", file});
    }
    arguments.insert(arguments.end(), recipients.begin(), recipients.end());
    const int error = startProcess("xdg-email", arguments, [](int exitCode) {
        if (exitCode == 0) {
            logLine("appController:didShareItems");
        } else {
            log("appController:sharingService Error:xdg-email ended with status {}", exitCode);
        }
    });
    if (error != 0) {
        log("appController:sharingService Error:xdg-email could not be started: {}",
            std::strerror(error));
    }
}

}  // namespace vm
