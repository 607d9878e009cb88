#include "TForexBase.h"

TForexBase::TForexBase(TSettings *settings) : Settings(settings) {}
TForexBase::~TForexBase() = default;
