// The module's errors and the helpers every part uses.
#include "core/runtime/Messages.h"
#include "python/Binding.h"

#include <algorithm>
#include <new>

#include "core/runtime/Errors.h"
#include "core/runtime/Jobs.h"
#include "core/runtime/TextFile.h"

namespace orvane::pymodule {

PyObject* gError = nullptr;
PyObject* gConversionError = nullptr;
PyObject* gCalculationError = nullptr;
PyObject* gFileError = nullptr;
PyObject* gConvergenceError = nullptr;
PyObject* gArgumentTypeError = nullptr;
PyObject* gCalculationWarning = nullptr;

PyObject* NewError(py::module_& m, const char* name, PyObject* bases, const char* doc) {
    const std::string full = std::string("orvane.") + name;
    PyObject* type = PyErr_NewExceptionWithDoc(full.c_str(), doc, bases, nullptr);
    if (!type) throw py::error_already_set();
    m.attr(name) = py::handle(type);
    return type;
}

void TranslateErrors(std::exception_ptr p) {
    try {
        if (p) std::rethrow_exception(p);
    } catch (const EConvertError& e) {
        PyErr_SetString(gConversionError, e.what());
    } catch (const EInOutError& e) {
        PyErr_SetString(gFileError, e.what());
    } catch (const EConvergence& e) {
        PyErr_SetString(gConvergenceError, e.what());
    } catch (const EMathError& e) {
        PyErr_SetString(gCalculationError, e.what());
    } catch (const OrvaneError& e) {
        PyErr_SetString(gError, e.what());
    } catch (const std::bad_alloc&) {
        PyErr_SetString(PyExc_MemoryError, msg::kOutOfMemory);
    }
}

// A path argument (str or path-like). A NUL would end the name early in the system's
// calls, so a different file than the one named would be read or written: refused.
std::string PathArg(py::handle path) {
    // os.fsencode takes str, bytes and path-like objects alike.
    const std::string text = py::module_::import("os").attr("fsencode")(path).cast<std::string>();
    if (text.find('\0') != std::string::npos)
        Raise(gFileError, NulInFileNameText(text));
    return text;
}

[[noreturn]] void Raise(PyObject* type, const std::string& text) {
    PyErr_SetString(type, text.c_str());
    throw py::error_already_set();
}


// 0: the cores this process may use, as on the command line.
int Jobs(int jobs) {
    if (jobs < 0 || jobs > 256) throw py::value_error("jobs は 0～256 にしてください (0 は使えるコアの数)。");
    return ThreadsForJobs(jobs);
}

PhysicalConstants Constants(double gravity, double density, double periodRatio,
                            double gammaTG, double bTG) {
    PhysicalConstants c;
    c.gra = gravity;
    c.SGfluid = density;
    c.RTp = periodRatio;
    c.gamma_TG = gammaTG;
    c.B_TG = bTG;
    return c;
}

py::array_t<double> ToArray(const std::vector<double>& v) {
    py::array_t<double> a(static_cast<py::ssize_t>(v.size()));
    std::copy(v.begin(), v.end(), a.mutable_data());
    return a;
}

void BindErrors(py::module_& m) {
    gError = NewError(m, "Error", PyExc_Exception,
                      "Any error of the program; str(e) is its Japanese message.");
    gConversionError = NewError(m, "ConversionError",
                                py::make_tuple(py::handle(gError), py::handle(PyExc_ValueError)).release().ptr(),
                                "A value that cannot be converted or stored.");
    gCalculationError = NewError(m, "CalculationError",
                                 py::make_tuple(py::handle(gError), py::handle(PyExc_ArithmeticError)).release().ptr(),
                                 "Division by zero, an invalid operation or an overflow in a formula.");
    gFileError = NewError(m, "FileError",
                          py::make_tuple(py::handle(gError), py::handle(PyExc_OSError)).release().ptr(),
                          "A file that cannot be found, read or written.");
    gConvergenceError = NewError(m, "ConvergenceError",
                                 py::make_tuple(py::handle(gError), py::handle(PyExc_RuntimeError)).release().ptr(),
                                 "An iteration that does not settle.");
    gArgumentTypeError = NewError(m, "ArgumentTypeError",
                                  py::make_tuple(py::handle(gError), py::handle(PyExc_TypeError)).release().ptr(),
                                  "An argument of a kind the function does not take.");
    gCalculationWarning = NewError(m, "CalculationWarning", PyExc_RuntimeWarning,
                                   "Elements of an array that could not be computed and became NaN; "
                                   "the text names the first and its error.");
    py::register_exception_translator(TranslateErrors);
}

}  // namespace orvane::pymodule
