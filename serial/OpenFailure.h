#pragma once
// How a port that cannot be opened is worded for the engineer. The window's message box and the
// command line say the same; the texts are marked for translation in the context "serial".

#include <QString>

namespace serial {

struct OpenError;

// name: what the engineer chose ("COM3", or a device's file name); settings: the line settings
// the open was asked for, named when the error carries no reason of its own.
QString openFailureText(const QString &name, const OpenError &error, const QString &settings);

} // namespace serial
