#include "res/Strings.h"

#include <QHash>

namespace {
// Built-in English texts. (Filled out with every text of the program.)
const QHash<UINT, const char*>& BuiltIn()
{
    static const QHash<UINT, const char*> table{
        {102, "QVT-VZ1"},
        {103, "Windows sockets initialization failed."},
        {35013, "Communication Error. Cannot establish."},
        {35015, "QVT-VZ1 is available."},
        {35016, "QVT-VZ1 is not connected to this PC."},
    };
    return table;
}
} // namespace

QString LoadStringRes(UINT id)
{
    const auto it = BuiltIn().constFind(id);
    return it == BuiltIn().constEnd() ? QString() : QString::fromUtf8(*it);
}

int AfxMessageBox(UINT stringId, UINT type)
{
    return AfxMessageBox(LoadStringRes(stringId), type);
}
