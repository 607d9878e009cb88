#include "FaultPlan.h"

namespace {

const struct
{
    const char *name;
    Fault::Kind kind;
} kKinds[] = {
    {"error", Fault::Kind::Error}, {"html", Fault::Kind::Html},   {"malformed", Fault::Kind::Malformed},
    {"empty", Fault::Kind::Empty}, {"delay", Fault::Kind::Delay}, {"drop", Fault::Kind::Drop},
};

} // namespace

bool Fault::kindFromName(const QString &name, Kind *kind)
{
    for (const auto &k : kKinds) {
        if (name == QLatin1String(k.name)) {
            *kind = k.kind;
            return true;
        }
    }
    return false;
}

QString Fault::kindName(Kind kind)
{
    for (const auto &k : kKinds)
        if (k.kind == kind)
            return QString::fromLatin1(k.name);
    return {};
}

bool FaultPlan::take(const QString &target, Fault *fault)
{
    for (qsizetype i = 0; i < m_faults.size(); ++i) {
        if (m_faults[i].target == target) {
            *fault = m_faults.takeAt(i);
            return true;
        }
    }
    return false;
}
