#include "app/windows/CwxWindow.h"

namespace vm {

using namespace kit;

CwxWindow::CwxWindow(QWidget* parent) : Window(parent) {
    setObjectName(QStringLiteral("cwxWindow"));
    setWindowTitle(QStringLiteral("CWX"));
    auto* central = new QWidget(this);
    auto* grid = new QGridLayout(central);
    cwxTextEditField = textField(central, QStringLiteral("cwxTextEditField"));
    QFont mono = cwxTextEditField->font();
    mono.setStyleHint(QFont::Monospace);
    mono.setFamily(QStringLiteral("Monospace"));
    mono.setPointSizeF(mono.pointSizeF() * 1.2);
    cwxTextEditField->setFont(mono);
    cwxLiveCheckBox = checkBox(central, QStringLiteral("cwxLiveCheckBox"), QStringLiteral("Live"));
    sendButton = button(central, QStringLiteral("cwxSendButton"), QStringLiteral("Send"));
    cancelButton = button(central, QStringLiteral("cwxCancelButton"), QStringLiteral("Cancel"));
    row(grid, QStringLiteral("Send"),
        {cwxTextEditField, cwxLiveCheckBox, sendButton, cancelButton});
    auto* macros = group(grid, grid->rowCount(), 0, QStringLiteral("Macros"), 1, 3);
    for (std::size_t i = 0; i < macroFields.size(); ++i) {
        macroFields[i] = textField(central, QStringLiteral("cwxTextMacro%1EditField").arg(i + 1));
        macroFields[i]->setMinimumWidth(220);
        macroButtons[i] = button(central, QStringLiteral("cwxMacro%1Button").arg(i + 1),
                                 QStringLiteral("F%1").arg(i + 1));
        macros->addWidget(macroButtons[i], int(i % 3), int(i / 3) * 2);
        macros->addWidget(macroFields[i], int(i % 3), int(i / 3) * 2 + 1);
    }
    cwxTextSpeedEditField = textField(central, QStringLiteral("cwxTextSpeedEditField"));
    cwxTextDelayEditField = textField(central, QStringLiteral("cwxTextDelayEditField"));
    cwxSideToneCharTexField = textField(central, QStringLiteral("cwxSideToneCharTexField"), true);
    for (TextField* field : {cwxTextSpeedEditField, cwxTextDelayEditField}) {
        field->setMaximumWidth(70);
    }
    row(grid, QStringLiteral("Speed WPM"), {cwxTextSpeedEditField});
    row(grid, QStringLiteral("Delay ms"), {cwxTextDelayEditField});
    row(grid, QStringLiteral("Side tone"), {cwxSideToneCharTexField});
    grid->setColumnStretch(1, 1);
    setCentralWidget(central);
    resize(640, 260);
}

}  // namespace vm
