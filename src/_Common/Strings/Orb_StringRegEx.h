// A compiled regular expression (Perl syntax) that tests whole texts. The wide form works on
// UTF-16 characters (through the ICU-aware engine, so "." is one character, surrogate pairs
// included); the 8-bit form works on bytes.
#pragma once

#include "Orb_StringTypes.h"

#include <boost/regex.hpp>
#include <boost/regex/icu.hpp>

#include <type_traits>

template <class S>
class StringRegExT {
public:
    using Regex = std::conditional_t<sizeof(typename S::value_type) == 1, boost::regex, boost::u32regex>;
    using Results = boost::match_results<typename S::const_iterator>;

    StringRegExT() = default;
    // The results point into the matched text held here, so a matcher is never copied.
    StringRegExT(const StringRegExT&) = delete;
    StringRegExT& operator=(const StringRegExT&) = delete;
    virtual ~StringRegExT() = default;

    virtual const S& expression() const { return mExpression; }
    // Compiles the expression; returns the compiler's message on failure (empty on success),
    // after which nothing matches until an expression compiles.
    virtual S setExpression(const S& expression);
    // True when the whole text matches; the sub-matches are then in results().
    virtual bool match(const S& text);
    virtual const Results& results() const { return mResults; }

    // The text of sub-match `index` of the last match (0 is the whole match); empty when absent.
    S result(size_t index) const;

private:
    S mExpression;
    Regex mRegex;
    bool mCompiled = false;
    S mSubject;
    Results mResults;
};

using StringRegEx = StringRegExT<std::string>;
using ucStringRegEx = StringRegExT<ucstring>;

extern template class StringRegExT<std::string>;
extern template class StringRegExT<ucstring>;
