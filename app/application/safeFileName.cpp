#include "safeFileName.h"

#include <QCryptographicHash>

namespace orvane {
namespace app {

QString safeFileName_t::part(QString const& text, QString const& fallback)
{
    // decomposed, an accented letter is its base letter and a mark that is skipped
    QString const plain = text.normalized(QString::NormalizationForm_KD).toLower();
    QString part;
    part.reserve(plain.size());
    bool gap = false;
    for (QChar const c : plain) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))) {
            if (gap && !part.isEmpty())
                part += QLatin1Char('-');
            part += c;
            gap = false;
        } else if (c.category() != QChar::Mark_NonSpacing) {
            gap = true;
        }
    }
    bool const cut = part.size() > MaxPartLength;
    bool const unspeakable = part.isEmpty() && !text.trimmed().isEmpty();
    if (!cut && !unspeakable)
        return part.isEmpty() ? fallback : part;
    QString const hash = QString::fromLatin1(QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha1).toHex().left(8));
    if (unspeakable)
        return fallback + QLatin1Char('-') + hash;
    part.truncate(MaxPartLength - hash.size() - 1);
    while (part.endsWith(QLatin1Char('-')))
        part.chop(1);
    return part + QLatin1Char('-') + hash;
}

} // namespace app
} // namespace orvane
