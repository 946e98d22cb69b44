#include "RecordObjects.h"

#include <charconv>
#include <cstdlib>
#include <string>

#include "RecordFields.h"

namespace py = pybind11;

namespace pyrecords {

namespace {

// The double a reader of the float's shortest text would get: what a person typed as the price.
double ShortestDouble(float value) {
    if (value == 0.0f) {
        return 0.0;  // most fields of most records; no text needed
    }
    char text[32];
    const auto result = std::to_chars(text, text + sizeof(text) - 1, value);
    *result.ptr = '\0';
    return std::strtod(text, nullptr);
}

class CDictWriter {
  public:
    void operator()(const char* name, const CString& value) { m_dict[name] = Text(value); }
    void operator()(const char* name, int value) { m_dict[name] = value; }
    void operator()(const char* name, float value) { m_dict[name] = ShortestDouble(value); }
    void operator()(const char* name, double value) { m_dict[name] = value; }
    void operator()(const char* name, const CForexRealtimePrice& value) {
        m_dict[name] = ToDict(value);
    }
    template <class Record>
    void operator()(const char* name, const CArray<Record, Record&>& records) {
        m_dict[name] = ToList(records);
    }
    template <size_t N>
    void operator()(const char* name, const float (&values)[N]) {
        py::list list(N);
        for (size_t i = 0; i < N; ++i) {
            list[i] = ShortestDouble(values[i]);
        }
        m_dict[name] = list;
    }
    template <size_t N>
    void operator()(const char* name, const CString (&values)[N]) {
        py::list list(N);
        for (size_t i = 0; i < N; ++i) {
            list[i] = Text(values[i]);
        }
        m_dict[name] = list;
    }
    py::dict Take() { return std::move(m_dict); }

  private:
    py::dict m_dict;
};

template <class Record>
py::dict Written(const Record& record) {
    CDictWriter writer;
    VisitFields(writer, record);
    return writer.Take();
}

class COrderReader {
  public:
    explicit COrderReader(const py::dict& fields) : m_fields(fields) {}

    void operator()(const char* name, CString& value) {
        if (const py::object item = Item(name)) {
            value = TextOf(item);
        }
    }
    void operator()(const char* name, int& value) {
        if (const py::object item = Item(name)) {
            value = Cast<int>(name, item);
        }
    }
    void operator()(const char* name, float& value) {
        if (const py::object item = Item(name)) {
            value = static_cast<float>(Cast<double>(name, item));
        }
    }
    size_t Matched() const { return m_matched; }

  private:
    template <class Value>
    static Value Cast(const char* name, const py::object& item) {
        try {
            return item.cast<Value>();
        } catch (const py::cast_error&) {
            throw py::type_error(std::string("order field ") + name + " has the wrong type");
        }
    }

    py::object Item(const char* name) {
        if (!m_fields.contains(name)) {
            return py::object();
        }
        ++m_matched;
        return m_fields[name];
    }

    const py::dict& m_fields;
    size_t m_matched = 0;
};

class CNameCollector {
  public:
    template <class Value>
    void operator()(const char* name, const Value&) {
        m_names.append(name);
    }
    py::list Take() { return std::move(m_names); }

  private:
    py::list m_names;
};

template <class Record>
void AddNames(py::dict& names, const char* recordName) {
    CNameCollector collector;
    VisitFields(collector, Record());
    names[recordName] = collector.Take();
}

}  // namespace

py::str Text(const CString& text) {
    // wchar_t holds UTF-32 here; a value past U+10FFFF (possible only from a broken text) is
    // replaced rather than failing the whole record.
    std::u32string chars(static_cast<size_t>(text.GetLength()), U'\0');
    for (int i = 0; i < text.GetLength(); ++i) {
        const auto ch = static_cast<char32_t>(text.GetAt(i));
        chars[static_cast<size_t>(i)] = ch > 0x10FFFF ? U'\uFFFD' : ch;
    }
    PyObject* object = PyUnicode_FromKindAndData(PyUnicode_4BYTE_KIND, chars.data(),
                                                 static_cast<Py_ssize_t>(chars.size()));
    if (object == nullptr) {
        throw py::error_already_set();
    }
    return py::reinterpret_steal<py::str>(object);
}

CString TextOf(const py::handle& text) {
    Py_ssize_t length = 0;
    wchar_t* chars = PyUnicode_AsWideCharString(py::str(text).ptr(), &length);
    if (chars == nullptr) {
        throw py::error_already_set();
    }
    CString result(chars, static_cast<int>(length));
    PyMem_Free(chars);
    return result;
}

py::dict ToDict(const CForexRealtimePrice& record) {
    return Written(record);
}
py::dict ToDict(const CForexMerch& record) {
    return Written(record);
}
py::dict ToDict(const COrderInfo& record) {
    return Written(record);
}
py::dict ToDict(const CBargain& record) {
    return Written(record);
}
py::dict ToDict(const CHistoryOrderInfo& record) {
    return Written(record);
}
py::dict ToDict(const CCurrency& record) {
    return Written(record);
}
py::dict ToDict(const CBroadCast& record) {
    return Written(record);
}
py::dict ToDict(const CGroup& record) {
    return Written(record);
}
py::dict ToDict(const CBaseInfo& record) {
    return Written(record);
}
py::dict ToDict(const CFundInfo& record) {
    return Written(record);
}
py::dict ToDict(const CAccountInfo& record) {
    return Written(record);
}

COrderInfo OrderFromDict(const py::dict& fields) {
    COrderInfo order;
    COrderReader reader(fields);
    VisitOrderFields(reader, order);
    if (reader.Matched() != fields.size()) {
        throw py::value_error("an order has no field named in " +
                              py::repr(fields).cast<std::string>());
    }
    return order;
}

py::dict FieldNames() {
    py::dict names;
    AddNames<CForexRealtimePrice>(names, "CForexRealtimePrice");
    AddNames<CForexMerch>(names, "CForexMerch");
    AddNames<COrderInfo>(names, "COrderInfo");
    AddNames<CBargain>(names, "CBargain");
    AddNames<CHistoryOrderInfo>(names, "CHistoryOrderInfo");
    AddNames<CCurrency>(names, "CCurrency");
    AddNames<CBroadCast>(names, "CBroadCast");
    AddNames<CGroup>(names, "CGroup");
    AddNames<CBaseInfo>(names, "CBaseInfo");
    AddNames<CFundInfo>(names, "CFundInfo");
    AddNames<CAccountInfo>(names, "CAccountInfo");
    return names;
}

}  // namespace pyrecords
