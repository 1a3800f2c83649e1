// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qt_known_texts.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <optional>

namespace tesuko {

namespace {

struct Match {
    const char* known = nullptr;
    QStringList varying;
    qsizetype fixedLength = -1;
};

// The parts of `text` that stand where `pattern` has %1, %2; none when it
// does not match. Text between two slots is taken at its last place: the
// first part, a path, may hold anything.
std::optional<QStringList> varyingParts(const QString& pattern, const QString& text) {
    static const QRegularExpression slot(QStringLiteral("%[12]"));
    const QStringList fixed = pattern.split(slot);
    if (fixed.size() == 1) {
        return text == pattern ? std::optional(QStringList()) : std::nullopt;
    }
    const qsizetype begin = fixed.first().size();
    qsizetype end = text.size() - fixed.last().size();
    if (end < begin || !text.startsWith(fixed.first()) || !text.endsWith(fixed.last())) {
        return std::nullopt;
    }
    QStringList parts;
    for (qsizetype i = fixed.size() - 2; i > 0; --i) {
        const qsizetype at =
            end - fixed[i].size() < begin ? -1 : text.lastIndexOf(fixed[i], end - fixed[i].size());
        if (at < begin) {
            return std::nullopt;
        }
        parts.prepend(text.mid(at + fixed[i].size(), end - at - fixed[i].size()));
        end = at;
    }
    parts.prepend(text.mid(begin, end - begin));
    return parts;
}

// The known text that matches most of `text` with its fixed words.
Match bestMatch(const QString& text, std::span<const char* const> knownTexts) {
    Match best;
    for (const char* known : knownTexts) {
        const QString pattern = QString::fromUtf8(known);
        if (std::optional<QStringList> parts = varyingParts(pattern, text)) {
            const qsizetype fixedLength = pattern.size() - 2 * parts->size();
            if (fixedLength > best.fixedLength) {
                best = {known, *parts, fixedLength};
            }
        }
    }
    return best;
}

}  // namespace

QString translatedKnownText(const char* context, const QString& text,
                            std::span<const char* const> known,
                            std::span<const char* const> knownParts) {
    Match match = bestMatch(text, known);
    if (!match.known) {
        return text;
    }
    for (QString& part : match.varying) {
        part = translatedKnownText(context, part, knownParts, knownParts);
    }
    // One pass for all parts: a path may hold "%2" itself.
    const QString words = QCoreApplication::translate(context, match.known);
    switch (match.varying.size()) {
        case 0:
            return words;
        case 1:
            return words.arg(match.varying[0]);
        default:
            return words.arg(match.varying[0], match.varying[1]);
    }
}

}  // namespace tesuko
