#include "EventLogFile.h"

#include <QFile>
#include <QRegularExpression>

namespace palletry::test {
namespace {

const QLatin1String Indent("  ");

// The characters after which EventLog::write() indents the next line.
bool endsLine(const QString& text, qsizetype i)
{
    switch (text.at(i).unicode()) {
    case '\n':
    case '\v':
    case '\f':
    case 0x85:
    case 0x2028:
    case 0x2029:
        return true;
    case '\r':
        return i + 1 >= text.size() || text.at(i + 1) != QLatin1Char('\n');
    default:
        return false;
    }
}

QString unindented(const QString& text)
{
    QString out;
    out.reserve(text.size());
    qsizetype i = text.startsWith(Indent) ? Indent.size() : 0;
    for (; i < text.size(); ++i) {
        out += text.at(i);
        if (endsLine(text, i) && text.mid(i + 1, Indent.size()) == Indent)
            i += Indent.size();
    }
    return out;
}

} // namespace

QVector<EventLogEntry> readEventLogFile(const QString& path)
{
    QVector<EventLogEntry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    const QByteArray all = file.readAll();
    static const QRegularExpression header(
        QStringLiteral("^=== prjPalletry (Information|Warning|Error) \\S+ (\\d+) ===$"));
    qsizetype pos = 0;
    while (pos < all.size()) {
        const qsizetype eol = all.indexOf('\n', pos);
        if (eol < 0)
            break;
        const auto match = header.match(QString::fromLatin1(all.mid(pos, eol - pos)));
        if (!match.hasMatch())
            break;
        const qsizetype size = match.captured(2).toLongLong();
        const QString type = match.captured(1);
        EventLogEntry entry;
        entry.type = type == QLatin1String("Warning") ? EventType::Warning
            : type == QLatin1String("Error")          ? EventType::Error
                                                      : EventType::Information;
        entry.text = unindented(QString::fromUtf8(all.mid(eol + 1, size)));
        entries.push_back(entry);
        pos = eol + 1 + size + 1;
    }
    return entries;
}

} // namespace palletry::test
