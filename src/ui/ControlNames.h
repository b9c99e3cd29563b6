// Object names of the window's controls: "ctl" and the control's id, by which tests and the
// accessibility tree find them.
#pragma once

#include <QString>

template <typename Widget> Widget* Named(Widget* widget, int id)
{
    widget->setObjectName(QStringLiteral("ctl%1").arg(id));
    return widget;
}
