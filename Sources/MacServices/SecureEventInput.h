#pragma once

// Whether any process has secure keyboard entry turned on.
class SecureEventInput {
public:
    virtual ~SecureEventInput() = default;

    virtual bool isSecureEventInputEnabled() = 0;
};
