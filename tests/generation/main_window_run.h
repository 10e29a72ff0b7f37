#pragma once

#include "form1.h"
#include "form2.h"

#include <QLineEdit>

#include <memory>

// A run as a person starts it: a fresh main window, loaded, the eight fields typed, the start
// button pressed. Returns the document the preview was handed, or an empty path.
inline QString runFromMainWindow(std::unique_ptr<Form1>& form, const QStringList& fields)
{
    form = std::make_unique<Form1>();
    form->Form_Load();
    for (int n = 1; n <= 8; ++n) {
        form->Text(n)->setText(fields.value(n - 1));
    }
    form->PushButton6_Click();
    return form->preview() ? form->preview()->mWordFile : QString();
}
