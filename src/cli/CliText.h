#pragma once

#include <QCoreApplication>

// The context of the command-line program's texts: written in English here,
// translated by tarnel-cli_<language>.qm.
class CliText {
    Q_DECLARE_TR_FUNCTIONS(CliText)
};
