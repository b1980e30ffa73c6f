#pragma once

#include "cli/CliCommand.h"

#include <cstdio>

// Exit statuses of tarnel-cli.
enum CliExit : int { Done = 0, Failed = 1, Usage = 2, WaitRanOut = 3 };

// Carries out a command read without error: lines for people (and scripts) go
// to `out`, errors to `err`. Never writes the address book or the settings.
int runCli(const CliCommand& command, std::FILE* out, std::FILE* err);
