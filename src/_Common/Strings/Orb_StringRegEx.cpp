#include "Orb_StringRegEx.h"

#include "Orb_String.h"

namespace {

template <class S>
S messageText(const char* what) {
    if constexpr (sizeof(typename S::value_type) == 1) {
        return S(what);
    } else {
        return ucstringFromUTF8CStr(what);
    }
}

}  // namespace

template <class S>
S StringRegExT<S>::setExpression(const S& expression) {
    mExpression = expression;
    mCompiled = false;
    mResults = Results();
    try {
        if constexpr (sizeof(typename S::value_type) == 1) {
            mRegex.assign(expression, boost::regex::perl);
        } else {
            mRegex = boost::make_u32regex(expression, boost::regex::perl);
        }
        mCompiled = true;
        return S();
    } catch (const std::exception& e) {
        const S message = messageText<S>(e.what());
        return message.empty() ? messageText<S>("Invalid regular expression") : message;
    }
}

template <class S>
bool StringRegExT<S>::match(const S& text) {
    mResults = Results();
    if (!mCompiled) return false;
    mSubject = text;
    bool matched = false;
    try {
        if constexpr (sizeof(typename S::value_type) == 1) {
            matched = boost::regex_match(mSubject.cbegin(), mSubject.cend(), mResults, mRegex);
        } else {
            matched = boost::u32regex_match(mSubject.cbegin(), mSubject.cend(), mResults, mRegex);
        }
    } catch (const std::exception&) {
        // The engine gives up on pathological expressions rather than run for ever.
        matched = false;
    }
    if (!matched) mResults = Results();
    return matched;
}

template <class S>
S StringRegExT<S>::result(size_t index) const {
    if (index >= mResults.size() || !mResults[index].matched) return S();
    return S(mResults[index].first, mResults[index].second);
}

template class StringRegExT<std::string>;
template class StringRegExT<ucstring>;
