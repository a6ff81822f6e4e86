#include "app/shell/ProblemReportText.h"

#include <QRegularExpression>

namespace vm {

namespace {

constexpr qsizetype kMostLogCharacters = 10'000'000;
constexpr qsizetype kHeadAndTailCharacters = 5'000'000;
const QString kRemoved = QStringLiteral("<removed>");

}  // namespace

QString debugLogForReport(const QString& log) {
    if (log.size() <= kMostLogCharacters) {
        return log;
    }
    return QStringLiteral(
               "The Debug Log is %1 MB - too large to email.\n\nSending head and "
               "tail...\n\n%2\n\n* * * * * * *\n\n%3")
        .arg(double(log.size()) / 1e6, 0, 'f', 2)
        .arg(log.left(kHeadAndTailCharacters), log.right(kHeadAndTailCharacters));
}

QString withoutSecrets(QString text) {
    // A named value: the name, then "=" or ":" (JSON quotes and spaces allowed around them), then
    // the value up to a quote, a space, a separator or a closing bracket.
    static const QRegularExpression named(
        QStringLiteral(R"(\b((?:access_|id_|refresh_|auth_|session_)?token|password|passwd|)"
                       R"(secret|client_secret|api_?key|authorization|handle)("?\s*[=:]\s*"?))"
                       R"([^\s"'&,;\]\}\)]+)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression bearer(QStringLiteral(R"((Bearer\s+)[A-Za-z0-9._~+/=-]+)"),
                                           QRegularExpression::CaseInsensitiveOption);
    // Header.payload.signature, each Base64url; the first two are JSON objects ("eyJ").
    static const QRegularExpression webToken(
        QStringLiteral(R"(eyJ[A-Za-z0-9_-]+\.eyJ[A-Za-z0-9_-]+\.[A-Za-z0-9_-]*)"));
    text.replace(webToken, kRemoved);
    text.replace(bearer, QStringLiteral("\\1") + kRemoved);
    text.replace(named, QStringLiteral("\\1\\2") + kRemoved);
    return text;
}

QString problemReportBody(const QString& logFileName) {
    return QStringLiteral(
               "Please enter problem description and the steps required to reproduce "
               "it here:\n\n\n\n%1\n\nvelmoraSDR Debug Log.\n\nThe debug log is "
               "attached as %2.\n")
        .arg(QString(70, QLatin1Char('-')), logFileName);
}

}  // namespace vm
