#pragma once
// r7260-cli params: parameter sets from a shell. backup FILE, backup-drives FOLDER HEX..., diff
// FILE [FILE2], diff --against HEX, restore FILE [--only NAME,...]; see --help.

class QTextStream;

namespace cli {

struct Options;

// Exit status of a comparison that found differences, or of a restore not confirmed.
constexpr int kDifferences = 4;

int params(const Options &options, QTextStream &out, QTextStream &err);

} // namespace cli
