#pragma once

// The properties the fuzz targets check on arbitrary input, and that the corpus replay test
// checks on every stored input. Each returns what went wrong, or nothing.

#include <QByteArray>
#include <QString>

#include <optional>

namespace quvex::properties {

using Violation = std::optional<QString>;

// Every read ends; the one-pass catalogue agrees with a walk through sections, keys and values;
// parsing and writing back gives the same bytes.
Violation profileReads(const QByteArray& input);

// The input is a file's bytes and a section, key and value (framed as framedWrite makes them). A
// write that succeeds reads back and leaves every other entry as it was; a refused one leaves
// every byte.
Violation profileWrites(const QByteArray& input);

// Each line decodes alone as it does within the file, and a line the file's encoding holds
// encodes back to its own bytes.
Violation textDecoding(const QByteArray& input);

// No line of the directory holds a line end, and no photo path leaves the photo folder.
Violation phoneDirectory(const QByteArray& input);

// Every row the search finds in a real SQLite table contains every word, and the row that is the
// typed text itself is found (when it holds no quotes, which the splitter takes apart).
Violation documentSearch(const QByteArray& input);

// The encoded mail link holds only unreserved characters, "+", "%XX" and its own separators,
// decodes back to the text, and has exactly its two query items.
Violation mailLink(const QByteArray& input);

// The input for profileWrites that writes value under section and key into a file of bytes.
QByteArray framedWrite(const QByteArray& file, const QString& section, const QString& key,
                       const QString& value);

} // namespace quvex::properties
