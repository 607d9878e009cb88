#pragma once
// Base of the bank-side records: each record's Execute performs its bank
// transaction through the bank gateway (see BankGateway.h).

class TSettings;

class TForexBase
{
public:
    explicit TForexBase(TSettings *settings);
    virtual ~TForexBase();
    TForexBase(const TForexBase &) = delete;
    TForexBase &operator=(const TForexBase &) = delete;

    virtual void Execute() = 0;

    TSettings *Settings;
};
