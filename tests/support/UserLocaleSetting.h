#pragma once
// One of the user's regional settings, changed for a test and put back as
// it was when the guard goes, a failed assertion's return included. Made
// before the change.
#include <windows.h>

#include <iterator>

class UserLocaleSetting {
public:
    explicit UserLocaleSetting(LCTYPE type) : type(type) {
        saved = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text, static_cast<int>(std::size(text))) > 0;
    }
    ~UserLocaleSetting() {
        if (saved)
            SetLocaleInfoW(LOCALE_USER_DEFAULT, type, text);
    }
    UserLocaleSetting(const UserLocaleSetting&) = delete;
    UserLocaleSetting& operator=(const UserLocaleSetting&) = delete;

    bool Set(const wchar_t* value) const { return saved && SetLocaleInfoW(LOCALE_USER_DEFAULT, type, value); }

private:
    LCTYPE type;
    wchar_t text[80]{};
    bool saved = false;
};
