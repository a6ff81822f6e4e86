#include "platform/ui/PlistDBus.h"

#include <QDBusArgument>
#include <QDBusVariant>
#include <QVariantList>

namespace vm::dbus {

namespace {

struct ToDBus {
    QVariant operator()(bool v) const { return v; }
    QVariant operator()(std::int64_t v) const { return static_cast<qlonglong>(v); }
    QVariant operator()(double v) const { return v; }
    QVariant operator()(const std::string& v) const { return QString::fromStdString(v); }
    QVariant operator()(const PlistData& v) const {
        return QByteArray(reinterpret_cast<const char*>(v.data()),
                          static_cast<qsizetype>(v.size()));
    }
    QVariant operator()(const PlistArray& v) const {
        QVariantList list;
        for (const auto& item : v) {
            list.append(toDBus(item));
        }
        return list;
    }
    QVariant operator()(const PlistDict& v) const { return toDBus(v); }
};

std::optional<PlistValue> fromArgument(const QDBusArgument& argument) {
    switch (argument.currentType()) {
        case QDBusArgument::BasicType:
        case QDBusArgument::VariantType: return fromDBus(argument.asVariant());
        case QDBusArgument::ArrayType: {
            if (argument.currentSignature() == "ay") {
                return fromDBus(argument.asVariant());
            }
            PlistArray array;
            argument.beginArray();
            while (!argument.atEnd()) {
                auto item = fromDBus(argument.asVariant());
                if (!item) {
                    return std::nullopt;
                }
                array.push_back(std::move(*item));
            }
            argument.endArray();
            return PlistValue(std::move(array));
        }
        case QDBusArgument::MapType: {
            PlistDict dictionary;
            argument.beginMap();
            while (!argument.atEnd()) {
                argument.beginMapEntry();
                const QVariant key = argument.asVariant();
                auto item = fromDBus(argument.asVariant());
                argument.endMapEntry();
                if (key.typeId() != QMetaType::QString || !item) {
                    return std::nullopt;
                }
                dictionary.insert_or_assign(key.toString().toStdString(), std::move(*item));
            }
            argument.endMap();
            return PlistValue(std::move(dictionary));
        }
        default: return std::nullopt;
    }
}

}  // namespace

QVariant toDBus(const PlistValue& value) { return std::visit(ToDBus{}, value.variant()); }

QVariantMap toDBus(const PlistDict& dictionary) {
    QVariantMap map;
    for (const auto& [key, item] : dictionary) {
        map.insert(QString::fromStdString(key), toDBus(item));
    }
    return map;
}

std::optional<PlistValue> fromDBus(const QVariant& value) {
    if (value.userType() == qMetaTypeId<QDBusArgument>()) {
        return fromArgument(value.value<QDBusArgument>());
    }
    if (value.userType() == qMetaTypeId<QDBusVariant>()) {
        return fromDBus(value.value<QDBusVariant>().variant());
    }
    switch (value.typeId()) {
        case QMetaType::Bool: return PlistValue(value.toBool());
        case QMetaType::UChar:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong: return PlistValue(value.toLongLong());
        case QMetaType::ULongLong: {
            const auto v = value.toULongLong();  // beyond the signed range: refused
            return v <= static_cast<qulonglong>(INT64_MAX)
                       ? std::optional(PlistValue(static_cast<long long>(v)))
                       : std::nullopt;
        }
        case QMetaType::Double: return PlistValue(value.toDouble());
        case QMetaType::QString: return PlistValue(value.toString().toStdString());
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            return PlistValue(PlistData(bytes.begin(), bytes.end()));
        }
        case QMetaType::QStringList: {
            PlistArray array;
            for (const auto& s : value.toStringList()) {
                array.emplace_back(s.toStdString());
            }
            return PlistValue(std::move(array));
        }
        case QMetaType::QVariantList: {
            PlistArray array;
            for (const auto& item : value.toList()) {
                auto converted = fromDBus(item);
                if (!converted) {
                    return std::nullopt;
                }
                array.push_back(std::move(*converted));
            }
            return PlistValue(std::move(array));
        }
        case QMetaType::QVariantMap: {
            PlistDict dictionary;
            const auto map = value.toMap();
            for (auto it = map.begin(); it != map.end(); ++it) {
                auto converted = fromDBus(it.value());
                if (!converted) {
                    return std::nullopt;
                }
                dictionary.insert_or_assign(it.key().toStdString(), std::move(*converted));
            }
            return PlistValue(std::move(dictionary));
        }
        default: return std::nullopt;
    }
}

}  // namespace vm::dbus
