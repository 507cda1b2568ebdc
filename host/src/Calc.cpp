// A small subset of the host's calculation language: text literals ("..." with \" for a quote),
// numbers, the pilcrow as a carriage return, & concatenation, + - * / on numbers, parentheses,
// and function calls with arguments separated by ";" (a name without parentheses calls a function
// with no arguments). Functions are the plug-in's registered ones and a few of the host's own.
#include "Calc.h"

#include "Guard.h"

#include <cmath>
#include <cwctype>
#include <fstream>
#include <iterator>

namespace fmhost {

namespace {

struct CalcError {
    fmx::errcode code;
    std::u16string message;
};

bool sameName(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'a' && x <= u'z') x = static_cast<char16_t>(x - 32);
        if (y >= u'a' && y <= u'z') y = static_cast<char16_t>(y - 32);
        if (x != y) return false;
    }
    return true;
}

// A container field holding a local file (a native path), as FileMaker stores an inserted file:
// its bytes in the stream of its kind ("JPEG", "PNGf", "GIFf", else "FILE"), "FNAM" and "MAIN".
DataImpl containerFromFile(const std::u16string& path) {
    const std::string native = utf8(path);
    std::ifstream in(native, std::ios::binary);
    if (!in) throw CalcError{100, u"Container: cannot read the file " + path};
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::u16string name = path.substr(path.rfind(u'/') == std::u16string::npos ? 0 : path.rfind(u'/') + 1);
    std::string extension = native.substr(native.rfind('.') == std::string::npos ? native.size() : native.rfind('.'));
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const char* code = "FILE";
    if (extension == ".jpg" || extension == ".jpeg" || extension == ".jpe")
        code = "JPEG";
    else if (extension == ".png")
        code = "PNGf";
    else if (extension == ".gif")
        code = "GIFf";
    DataImpl d;
    d.type = fmx::kDTBinary;
    d.empty = false;
    d.binary.fileName = name;
    QuadCharImpl q;
    q.c = {{static_cast<unsigned char>(code[0]), static_cast<unsigned char>(code[1]),
            static_cast<unsigned char>(code[2]), static_cast<unsigned char>(code[3])}};
    d.binary.streams.push_back(Stream{q, std::move(bytes)});
    addFileContainerStreams(d.binary, name, code);
    return d;
}

DataImpl textValue(std::u16string s) {
    DataImpl d;
    d.type = fmx::kDTText;
    d.text.s = std::move(s);
    d.empty = d.text.s.empty();
    return d;
}

DataImpl numberValue(long double v) {
    DataImpl d;
    d.type = fmx::kDTNumber;
    d.number.v = v;
    d.empty = false;
    return d;
}

DataImpl joinLines(const std::vector<std::u16string>& lines) {
    std::u16string s;
    for (size_t i = 0; i < lines.size(); ++i) s += (i ? u"\r" : u"") + lines[i];
    return textValue(s);
}

DataImpl callRegistered(const RegisteredFunction& f, const std::vector<DataImpl>& args, uint64_t session);

class Parser {
public:
    Parser(const std::u16string& src, uint64_t session, const CalcContext& context)
        : mSrc(src), mSession(session), mContext(context) {}

    DataImpl run() {
        DataImpl v = concat();
        skipBlanks();
        if (mPos < mSrc.size()) throw CalcError{1212, u"Unexpected text: " + mSrc.substr(mPos)};
        return v;
    }

private:
    void skipBlanks() {
        while (mPos < mSrc.size() &&
               (mSrc[mPos] == u' ' || mSrc[mPos] == u'\t' || mSrc[mPos] == u'\r' || mSrc[mPos] == u'\n'))
            ++mPos;
    }
    bool take(char16_t c) {
        skipBlanks();
        if (mPos < mSrc.size() && mSrc[mPos] == c) {
            ++mPos;
            return true;
        }
        return false;
    }

    DataImpl concat() {
        DataImpl left = additive();
        while (take(u'&')) {
            DataImpl right = additive();
            left = textValue(dataToText(left) + dataToText(right));
        }
        return left;
    }
    DataImpl additive() {
        DataImpl left = term();
        for (;;) {
            if (take(u'+'))
                left = numberValue(dataToNumber(left) + dataToNumber(term()));
            else if (take(u'-'))
                left = numberValue(dataToNumber(left) - dataToNumber(term()));
            else
                return left;
        }
    }
    DataImpl term() {
        DataImpl left = unary();
        for (;;) {
            if (take(u'*')) {
                left = numberValue(dataToNumber(left) * dataToNumber(unary()));
            } else if (take(u'/')) {
                const long double d = dataToNumber(unary());
                if (d == 0) throw CalcError{1200, u"Division by zero"};
                left = numberValue(dataToNumber(left) / d);
            } else {
                return left;
            }
        }
    }
    DataImpl unary() {
        if (take(u'-')) return numberValue(-dataToNumber(unary()));
        return primary();
    }

    DataImpl primary() {
        skipBlanks();
        if (mPos >= mSrc.size()) throw CalcError{1203, u"Unexpected end of calculation"};
        const char16_t c = mSrc[mPos];
        if (c == u'"') return stringLiteral();
        if (c == u'\u00B6') {
            ++mPos;
            return textValue(u"\r");
        }
        if ((c >= u'0' && c <= u'9') || c == u'.') return numberLiteral();
        if (c == u'(') {
            ++mPos;
            DataImpl v = concat();
            if (!take(u')')) throw CalcError{1207, u"Unbalanced parenthesis"};
            return v;
        }
        if (isNameStart(c)) return call(name());
        throw CalcError{1204, u"Number, text constant, function name or \"(\" expected at: " + mSrc.substr(mPos)};
    }

    static bool isNameStart(char16_t c) { return c == u'_' || c == u'$' || c > 127 || std::iswalpha(c); }
    static bool isNameChar(char16_t c) { return isNameStart(c) || (c >= u'0' && c <= u'9') || c == u'.'; }

    std::u16string name() {
        skipBlanks();
        const size_t start = mPos;
        while (mPos < mSrc.size() && isNameChar(mSrc[mPos]) && mSrc[mPos] != u'\u00B6') ++mPos;
        return mSrc.substr(start, mPos - start);
    }

    DataImpl stringLiteral() {
        ++mPos;  // opening quote
        std::u16string s;
        while (mPos < mSrc.size()) {
            const char16_t c = mSrc[mPos++];
            if (c == u'"') return textValue(s);
            if (c == u'\\' && mPos < mSrc.size()) {
                const char16_t n = mSrc[mPos++];
                if (n == u'"' || n == u'\\')
                    s += n;
                else if (n == u'\u00B6')
                    s += u'\u00B6';  // an escaped pilcrow is the character itself
                else
                    s += {c, n};
                continue;
            }
            s += c == u'\u00B6' ? u'\r' : c;  // a pilcrow inside text is a return, as in the host
        }
        throw CalcError{1206, u"Text constant must end with a quotation mark"};
    }

    DataImpl numberLiteral() {
        const size_t start = mPos;
        while (mPos < mSrc.size() && ((mSrc[mPos] >= u'0' && mSrc[mPos] <= u'9') || mSrc[mPos] == u'.')) ++mPos;
        long double v = 0;
        textToNumber(mSrc.substr(start, mPos - start), v);
        return numberValue(v);
    }

    std::vector<DataImpl> arguments() {
        std::vector<DataImpl> args;
        if (!take(u'(')) return args;
        if (take(u')')) return args;
        do {
            args.push_back(concat());
        } while (take(u';'));
        if (!take(u')')) throw CalcError{1207, u"Expected \";\" or \")\""};
        return args;
    }

    DataImpl call(const std::u16string& fn) {
        if (sameName(fn, u"Get")) {
            if (!take(u'(')) throw CalcError{1204, u"Get needs a parameter"};
            const std::u16string what = name();
            if (!take(u')')) throw CalcError{1207, u"Unbalanced parenthesis"};
            return get(what);
        }
        std::vector<DataImpl> args = arguments();
        HostState& host = HostState::get();
        if (const RegisteredFunction* f = host.findFunction(fn)) {
            RegisteredFunction copy = *f;  // registration may change while it runs
            return callRegistered(copy, args, mSession);
        }
        return builtin(fn, args);
    }

    DataImpl get(const std::u16string& what) {
        HostState& host = HostState::get();
        if (sameName(what, u"FilePath")) return textValue(host.filePath());
        if (sameName(what, u"FileName")) return textValue(host.settings.fileName);
        if (sameName(what, u"ScriptParameter")) return textValue(mContext.scriptParameter);
        if (sameName(what, u"ScriptName")) return textValue(mContext.scriptName);
        if (sameName(what, u"ApplicationVersion")) return textValue(host.settings.versionText);
        throw CalcError{1209, u"Unknown Get parameter: " + what};
    }

    DataImpl builtin(const std::u16string& fn, const std::vector<DataImpl>& args) {
        auto need = [&](size_t n) {
            if (args.size() < n) throw CalcError{1201, u"Too few parameters in function " + fn};
            if (args.size() > n) throw CalcError{1202, u"Too many parameters in function " + fn};
        };
        HostState& host = HostState::get();
        if (sameName(fn, u"DatabaseNames")) {
            need(0);
            return joinLines(host.databaseNames());
        }
        if (sameName(fn, u"ScriptNames")) {
            need(1);
            std::vector<std::u16string> names;
            const std::u16string db = dataToText(args[0]);
            for (const HostScript& s : host.scripts)
                if (sameName(s.database, db)) names.push_back(s.name);
            return joinLines(names);
        }
        if (sameName(fn, u"True") || sameName(fn, u"False")) {
            need(0);
            DataImpl d;
            d.type = fmx::kDTBoolean;
            d.number.v = sameName(fn, u"True") ? 1 : 0;
            d.empty = false;
            return d;
        }
        if (sameName(fn, u"Date")) {
            need(3);
            DataImpl d;
            d.type = fmx::kDTDate;
            d.empty = false;
            d.dateTime.setDate(static_cast<int64_t>(dataToNumber(args[2])), static_cast<int64_t>(dataToNumber(args[0])),
                               static_cast<int64_t>(dataToNumber(args[1])));
            return d;
        }
        if (sameName(fn, u"Time")) {
            need(3);
            DataImpl d;
            d.type = fmx::kDTTime;
            d.empty = false;
            const long double secs = (dataToNumber(args[0]) * 60 + dataToNumber(args[1])) * 60 + dataToNumber(args[2]);
            d.dateTime.micros = static_cast<int64_t>(std::llround(secs * 1e6L));
            return d;
        }
        if (sameName(fn, u"Timestamp")) {
            need(2);
            DataImpl d = args[0];
            if (d.type != fmx::kDTDate) throw CalcError{1200, u"Timestamp needs a date"};
            d.type = fmx::kDTTimeStamp;
            d.dateTime.micros = args[1].dateTime.micros;
            return d;
        }
        if (sameName(fn, u"Container")) {
            need(1);
            return containerFromFile(dataToText(args[0]));
        }
        throw CalcError{1208, u"The function \"" + fn + u"\" is not registered."};
    }

    const std::u16string& mSrc;
    size_t mPos = 0;
    uint64_t mSession;
    const CalcContext& mContext;
};

DataImpl callRegistered(const RegisteredFunction& f, const std::vector<DataImpl>& args, uint64_t session) {
    const auto n = static_cast<int64_t>(args.size());
    if (n < f.minArgs) throw CalcError{1201, u"Too few parameters in function " + f.name};
    if (f.maxArgs >= 0 && n > f.maxArgs) throw CalcError{1202, u"Too many parameters in function " + f.name};
    DataVectImpl vect;
    for (const DataImpl& a : args) vect.items.push_back(std::make_unique<DataImpl>(a));
    HostState& host = HostState::get();
    ExprEnvImpl env{session, host.currentFile};
    const uint64_t previous = host.currentSession;
    host.currentSession = session;
    DataImpl result;
    fmx::errcode rc = 0;
    try {
        rc = f.callback(f.id, view(env), view(vect), view(result));
    } catch (...) {
        host.currentSession = previous;
        throw CalcError{1200, u"The plug-in function " + f.name + u" let an exception escape."};
    }
    host.currentSession = previous;
    if (rc != 0) throw CalcError{rc, u"The plug-in function " + f.name + u" returned host error " + numberToText(rc)};
    return result;
}

}  // namespace

Evaluation evaluate(const std::u16string& expression, uint64_t session, const CalcContext& context) {
    Evaluation ev;
    try {
        DataImpl v = Parser(expression, session, context).run();
        ev.text = dataToText(v);
        auto* owned = new DataImpl(std::move(v));
        ev.value = std::shared_ptr<fmx::Data>(view(owned), [](fmx::Data* p) { delete impl(p); });
    } catch (const CalcError& e) {
        ev.error = e.code;
        ev.message = e.message;
    } catch (const std::exception& e) {
        ev.error = 1200;
        ev.message = fromUTF8(e.what());
    }
    return ev;
}

Evaluation callFunction(const RegisteredFunction& f, const std::vector<DataImpl>& args, uint64_t session) {
    Evaluation ev;
    try {
        DataImpl v = callRegistered(f, args, session);
        ev.text = dataToText(v);
        auto* owned = new DataImpl(std::move(v));
        ev.value = std::shared_ptr<fmx::Data>(view(owned), [](fmx::Data* p) { delete impl(p); });
    } catch (const CalcError& e) {
        ev.error = e.code;
        ev.message = e.message;
    }
    return ev;
}

}  // namespace fmhost
