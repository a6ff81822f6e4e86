#include "platform/ui/TableModel.h"

#include "platform/ui/TableView.h"

#include <QDataStream>
#include <QFont>
#include <QIODevice>
#include <QMimeData>

#include <algorithm>
#include <set>

namespace vm {

namespace {

const QString kRowsMimeType = QStringLiteral("application/x-velmorasdr-table-rows");

QString displayText(const QVariant& value) {
    if (value.userType() == qMetaTypeId<AttributedText>()) {
        return value.value<AttributedText>().text;
    }
    switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float: return QString::number(value.toDouble(), 'g', 12);
        case QMetaType::Bool: return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        default: return value.toString();
    }
}

bool isOn(const QVariant& value) {
    if (value.typeId() == QMetaType::QString) {
        return value.toString().trimmed().toDouble() != 0.0;
    }
    return value.toDouble() != 0.0 || value.toBool();
}

}  // namespace

TableModel::TableModel(TableView& table) : QAbstractTableModel(&table), table_(table) {}

void TableModel::resetColumns() {
    beginResetModel();
    auto source = table_.dataSource();
    rows_ = source ? std::max(0, source->numberOfRows(table_)) : 0;
    endResetModel();
}

void TableModel::reload() {
    auto source = table_.dataSource();
    const int rows = source ? std::max(0, source->numberOfRows(table_)) : 0;
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    } else if (rows < rows_) {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
    if (rows_ > 0 && columnCount() > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
    }
}

int TableModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(table_.tableColumns().size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    auto source = table_.dataSource();
    if (!source || !index.isValid() || index.row() >= rows_) {
        return {};
    }
    const TableColumn& column = table_.tableColumns().at(std::size_t(index.column()));
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            if (column.isCheckBox) {
                return {};
            }
            return displayText(source->objectValue(table_, column.identifier, index.row()));
        case Qt::CheckStateRole:
            if (!column.isCheckBox) {
                return {};
            }
            return isOn(source->objectValue(table_, column.identifier, index.row()))
                       ? Qt::Checked
                       : Qt::Unchecked;
        case Qt::FontRole: {
            const QVariant value = source->objectValue(table_, column.identifier, index.row());
            if (value.userType() == qMetaTypeId<AttributedText>() &&
                value.value<AttributedText>().bold) {
                QFont font = table_.font();
                font.setBold(true);
                return font;
            }
            return {};
        }
        case Qt::ForegroundRole:
            if (auto colour = source->textColor(table_, column.identifier, index.row())) {
                return *colour;
            }
            return {};
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        default: return {};
    }
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    auto source = table_.dataSource();
    if (!source || !index.isValid() || index.row() >= rows_) {
        return false;
    }
    const TableColumn& column = table_.tableColumns().at(std::size_t(index.column()));
    if (role == Qt::EditRole && !column.isCheckBox) {
        source->setObjectValue(table_, value.toString(), column.identifier, index.row());
    } else if (role == Qt::CheckStateRole && column.isCheckBox) {
        if (!source->shouldEdit(table_, column.identifier, index.row())) {
            return false;
        }
        const bool on = value.toInt() == Qt::Checked;
        source->setObjectValue(table_, on ? 1 : 0, column.identifier, index.row());
    } else {
        return false;
    }
    // The row shows the source's value again, whether it took the edit or not.
    if (index.row() < rows_) {
        emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    }
    return true;
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount()) {
        return {};
    }
    return QString::fromStdString(table_.tableColumns()[std::size_t(section)].title);
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return table_.rowsMovable() ? Qt::ItemIsDropEnabled : Qt::NoItemFlags;
    }
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const TableColumn& column = table_.tableColumns().at(std::size_t(index.column()));
    if (column.isEditable) {
        result |= column.isCheckBox ? Qt::ItemIsUserCheckable : Qt::ItemIsEditable;
    }
    if (table_.rowsMovable()) {
        result |= Qt::ItemIsDragEnabled;
    }
    return result;
}

QStringList TableModel::mimeTypes() const { return {kRowsMimeType}; }

QMimeData* TableModel::mimeData(const QModelIndexList& indexes) const {
    std::set<int> unique;
    for (const QModelIndex& index : indexes) {
        unique.insert(index.row());
    }
    const std::vector<int> rows(unique.begin(), unique.end());
    auto source = table_.dataSource();
    if (rows.empty() || !source || !source->writeRows(table_, rows)) {
        return nullptr;
    }
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << quint64(reinterpret_cast<quintptr>(&table_)) << qint32(rows.size());
    for (int row : rows) {
        out << qint32(row);
    }
    auto* data = new QMimeData;
    data->setData(kRowsMimeType, bytes);
    return data;
}

std::vector<int> TableModel::draggedRows(const QMimeData* data) const {
    if (!data || !data->hasFormat(kRowsMimeType)) {
        return {};
    }
    QDataStream in(data->data(kRowsMimeType));
    quint64 origin = 0;
    qint32 count = 0;
    in >> origin >> count;
    if (origin != quint64(reinterpret_cast<quintptr>(&table_)) || count <= 0 || count > rows_) {
        return {};
    }
    std::vector<int> rows;
    for (qint32 i = 0; i < count; ++i) {
        qint32 row = -1;
        in >> row;
        if (in.status() != QDataStream::Ok || row < 0 || row >= rows_) {
            return {};
        }
        rows.push_back(row);
    }
    return rows;
}

bool TableModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int, int,
                                 const QModelIndex&) const {
    return table_.rowsMovable() && !draggedRows(data).empty();
}

bool TableModel::dropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                              const QModelIndex& parent) {
    const std::vector<int> rows = draggedRows(data);
    auto source = table_.dataSource();
    if (!table_.rowsMovable() || rows.empty() || !source) {
        return false;
    }
    int before = row;
    if (before < 0) {
        before = parent.isValid() ? parent.row() : rows_;
    }
    return source->acceptDrop(table_, rows, std::clamp(before, 0, rows_));
}

}  // namespace vm
