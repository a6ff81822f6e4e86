#include "platform/ui/SavePanel.h"

#include "platform/ui/ModalRun.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>

#include <utility>

namespace vm {

namespace {

SavePanel::TestResponder& responder() {
    static SavePanel::TestResponder current;
    return current;
}

QString qs(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

SavePanel::TestResponder SavePanel::setTestResponder(TestResponder next) {
    return std::exchange(responder(), std::move(next));
}

std::optional<std::filesystem::path> SavePanel::runModal() {
    // Qt's own dialog: a desktop's native one would drop the labels and the message.
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setWindowTitle(qs(title_));
    if (!prompt_.empty()) {
        dialog.setLabelText(QFileDialog::Accept, qs(prompt_));
    }
    if (!nameFieldLabel_.empty()) {
        dialog.setLabelText(QFileDialog::FileName, qs(nameFieldLabel_));
    }
    if (!types_.empty()) {
        QStringList patterns;
        for (const std::string& type : types_) {
            patterns << QStringLiteral("*.") + qs(type);
        }
        dialog.setNameFilter(patterns.join(QLatin1Char(' ')));
        dialog.setDefaultSuffix(qs(types_.front()));
    }
    if (!message_.empty()) {
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            auto* label = new QLabel(qs(message_));
            label->setWordWrap(true);
            grid->addWidget(label, grid->rowCount(), 0, 1, grid->columnCount());
        }
    }
    if (!directory_.empty()) {
        dialog.setDirectory(QString::fromStdString(directory_.string()));
    }
    dialog.selectFile(qs(name_));

    std::function<void()> answer;
    if (responder()) {
        answer = [this, &dialog] {
            if (auto name = responder()(*this)) {
                dialog.selectFile(qs(*name));
                static_cast<QDialog&>(dialog).accept();  // as the prompt button does
            } else {
                dialog.reject();
            }
        };
    }
    if (runModalDialog(dialog, answer) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }

    std::filesystem::path chosen(dialog.selectedFiles().front().toStdString());
    if (!types_.empty()) {
        const QString extension = QString::fromStdString(chosen.extension().string()).mid(1);
        bool allowed = false;
        for (const std::string& type : types_) {
            allowed = allowed || extension.compare(qs(type), Qt::CaseInsensitive) == 0;
        }
        if (!allowed) {
            chosen += "." + types_.front();
        }
    }
    return chosen;
}

}  // namespace vm
