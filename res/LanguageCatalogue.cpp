#include "res/LanguageCatalogue.h"

#include <QFile>
#include <QList>

namespace {

enum Section : quint64 { kNone = 0, kStrings = 1, kMenu = 2, kDialog = 3 };

quint64 Key(Section section, UINT owner, UINT item)
{
    return (quint64(section) << 56) | (quint64(owner & 0xFFFFFF) << 32) | item;
}

QString Unescape(QString value)
{
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
        value = value.mid(1, value.size() - 2);
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 'n': out += u'\n'; break;
        case 'r': out += u'\r'; break;
        case 't': out += u'\t'; break;
        case '\\': out += u'\\'; break;
        case '"': out += u'"'; break;
        default: out += c; out += next; break;  // not an escape: keep both characters
        }
    }
    return out;
}

// "[Menu193]" -> kMenu, 193. Anything else: kNone, so that its keys are skipped.
Section ParseSection(const QString& name, UINT& owner)
{
    owner = 0;
    const QString n = name.trimmed();
    if (n.compare(QLatin1String("Strings"), Qt::CaseInsensitive) == 0)
        return kStrings;
    Section kind = kNone;
    QString number;
    if (n.startsWith(QLatin1String("Menu"), Qt::CaseInsensitive)) {
        kind = kMenu;
        number = n.mid(4).trimmed();
    } else if (n.startsWith(QLatin1String("Dialog"), Qt::CaseInsensitive)) {
        kind = kDialog;
        number = n.mid(6).trimmed();
    }
    bool ok = false;
    const uint value = number.toUInt(&ok);
    if (kind == kNone || !ok || value > 0xFFFFFF)
        return kNone;
    owner = value;
    return kind;
}

} // namespace

std::unique_ptr<CLanguageCatalogue> CLanguageCatalogue::Load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    if (file.size() > kMaxFileSize)
        return nullptr;
    return Parse(file.read(kMaxFileSize));
}

std::unique_ptr<CLanguageCatalogue> CLanguageCatalogue::Parse(const QByteArray& bytes)
{
    auto catalogue = std::unique_ptr<CLanguageCatalogue>(new CLanguageCatalogue);
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    Section section = kNone;
    UINT owner = 0;
    const QList<QStringView> lines = QStringView(text).split(u'\n');
    for (QStringView raw : lines) {
        const QString line = raw.trimmed().toString();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            section = close > 0 ? ParseSection(line.mid(1, close - 1), owner) : kNone;
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (section == kNone || eq <= 0)
            continue;
        bool ok = false;
        const uint id = line.left(eq).trimmed().toUInt(&ok);
        if (!ok || id > 0xFFFFFFFFu)
            continue;
        const QString value = Unescape(line.mid(eq + 1).trimmed());
        if (!value.isEmpty())
            catalogue->m_texts.insert(Key(section, owner, id), value);
    }
    return catalogue;
}

QString CLanguageCatalogue::String(UINT id) const
{
    return m_texts.value(Key(kStrings, 0, id));
}

QString CLanguageCatalogue::MenuItem(UINT menuId, UINT commandId) const
{
    return m_texts.value(Key(kMenu, menuId, commandId));
}

QString CLanguageCatalogue::DialogItem(UINT templateId, UINT controlId) const
{
    return m_texts.value(Key(kDialog, templateId, controlId));
}
