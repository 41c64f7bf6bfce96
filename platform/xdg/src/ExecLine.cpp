#include "platform/xdg/ExecLine.hpp"

namespace platform::xdg {

std::optional<QStringList> splitExec(const QString& exec) {
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'\\' && i + 1 < exec.size()) {
                const QChar next = exec[i + 1];
                if (next == u'"' || next == u'`' || next == u'$' || next == u'\\') {
                    current.append(next);
                    ++i;
                    continue;
                }
            }
            if (c == u'"') {
                quoted = false;
            } else {
                current.append(c);
            }
            continue;
        }
        if (c == u' ' || c == u'\t' || c == u'\n') {
            if (inArgument) {
                arguments.append(current);
                current.clear();
                inArgument = false;
            }
            continue;
        }
        inArgument = true;
        if (c == u'"') {
            quoted = true;
        } else {
            current.append(c);
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    if (inArgument) {
        arguments.append(current);
    }
    if (arguments.isEmpty()) {
        return std::nullopt;
    }
    return arguments;
}

QStringList expandFieldCodes(const QStringList& arguments, const FieldValues& values) {
    QStringList expanded;
    for (const QString& argument : arguments) {
        if (argument == u"%i") {
            if (!values.icon.isEmpty()) {
                expanded << QStringLiteral("--icon") << values.icon;
            }
            continue;
        }
        QString result;
        bool hadCode = false;
        for (qsizetype i = 0; i < argument.size(); ++i) {
            if (argument[i] != u'%' || i + 1 == argument.size()) {
                result.append(argument[i]);
                continue;
            }
            const QChar code = argument[++i];
            hadCode = true;
            switch (code.unicode()) {
            case u'%':
                result.append(u'%');
                break;
            case u'c':
                result.append(values.name);
                break;
            case u'k':
                result.append(values.location);
                break;
            default:
                // File and URL codes with no file to pass, the deprecated codes, and unknown ones.
                break;
            }
        }
        if (hadCode && result.isEmpty()) {
            continue;
        }
        expanded.append(result);
    }
    return expanded;
}

} // namespace platform::xdg
