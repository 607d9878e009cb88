#include "MainTimings.h"

namespace {
MainTimings::Values g_values;
}

const MainTimings::Values &MainTimings::Current()
{
    return g_values;
}

MainTimings::Override::Override(const Values &values) : m_previous(g_values)
{
    g_values = values;
}

MainTimings::Override::~Override()
{
    g_values = m_previous;
}
