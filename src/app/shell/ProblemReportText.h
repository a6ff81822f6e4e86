#pragma once
// The texts of a problem report: the debug log as it is sent (its secrets removed, and only its
// head and tail when it is too large to e-mail) and the mail's body.
#include <QString>

namespace vm {

// A debug log of more than 10,000,000 characters becomes a note of its size with its first and
// last 5,000,000 characters.
QString debugLogForReport(const QString& log);

// The text with what must not leave the machine replaced by "<removed>": the values of tokens,
// passwords, secrets and session handles ("token=...", "\"refresh_token\":\"...\"",
// "password: ..."), bearer credentials and anything shaped as a web token.
QString withoutSecrets(QString text);

// The body of the mail: the request for a description, and where the debug log is.
QString problemReportBody(const QString& logFileName);

}  // namespace vm
