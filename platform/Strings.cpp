#include "Strings.h"

#include "Codec.h"

#include <QDir>
#include <QFile>
#include <QHash>

void EnsureResources()
{
    static bool done = [] {
        Q_INIT_RESOURCE(brennix);
        return true;
    }();
    (void)done;
}

namespace {

// One entry per line: the id, a tab, the text; "\n", "\t" and "\\" are escapes.
QString Unescape(const QString& raw)
{
    QString out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size()) {
            QChar n = raw[++i];
            out += n == 'n' ? QChar('\n') : n == 't' ? QChar('\t') : n == 'r' ? QChar('\r') : n;
        } else {
            out += raw[i];
        }
    }
    return out;
}

const QHash<unsigned, QString>& Table()
{
    static const QHash<unsigned, QString> table = [] {
        EnsureResources();
        QHash<unsigned, QString> t;
        const QStringList files = QDir(":/strings").entryList(QDir::Files, QDir::Name);
        for (const QString& name : files) {
            QFile f(":/strings/" + name);
            if (!f.open(QIODevice::ReadOnly)) continue;
            const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
            for (const QString& line : lines) {
                if (line.isEmpty() || line.startsWith('#')) continue;
                qsizetype tab = line.indexOf('\t');
                if (tab <= 0) continue;
                bool ok = false;
                unsigned id = line.left(tab).toUInt(&ok);
                if (ok) t.insert(id, Unescape(line.mid(tab + 1)));
            }
        }
        return t;
    }();
    return table;
}

} // namespace

QString LoadQString(unsigned id)
{
    return Table().value(id);
}

std::string LoadString(unsigned id)
{
    return Codec::FromQt(LoadQString(id));
}

std::string FormatString1(unsigned id, const std::string& argument)
{
    std::string text = LoadString(id);
    if (auto pos = text.find("%1"); pos != std::string::npos) text.replace(pos, 2, argument);
    return text;
}

std::string FormatString(unsigned id, std::initializer_list<std::string> arguments)
{
    const std::string form = LoadString(id);
    std::string text;
    for (size_t i = 0; i < form.size(); ++i) {
        const size_t n = i + 1 < form.size() ? size_t(form[i + 1] - '1') : arguments.size();
        if (form[i] == '%' && n < arguments.size()) {
            text += arguments.begin()[n];
            ++i;
        } else {
            text += form[i];
        }
    }
    return text;
}
