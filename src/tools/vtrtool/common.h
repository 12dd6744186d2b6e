#pragma once
// Helpers the commands share: output streams, loading a vehicle file, usage errors.

#include "commands.h"
#include "core/vehicle/record.h"

#include <QTextStream>

namespace vtrtool {

QTextStream &out(); // stdout, UTF-8
QTextStream &err(); // stderr, UTF-8

// Loads `path` into a record created for ctx.today, pictures looked up beside the file (where
// the application's open dialog makes them current). Prints the load error on stderr and
// returns false; the record then holds what was read until the error.
bool loadFile(const Context &ctx, const QString &path, VehicleRecord &r);

// Prints "vtrtool NAME: message" and the command's usage on stderr; returns 2.
int usageError(const QString &command, const QString &message);

// The usage line of a registered command.
QString usageOf(const QString &command);

} // namespace vtrtool
