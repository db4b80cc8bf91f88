#pragma once
// r7260-cli trace: records the device's positions, speed, motion state and inputs as the window's
// scope does, optionally sends one device command once the pre-trigger is recorded, and prints
// the trace (CSV or JSON) and the move's measurements.

class QTextStream;

namespace cli {

struct Options;

int trace(const Options &options, QTextStream &out, QTextStream &err);

} // namespace cli
