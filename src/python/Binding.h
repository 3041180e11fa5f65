#pragma once
// What the parts of the Python module `orvane._orvane` share: its error types, the
// helpers every part uses, and one Bind function per part, called by OrvaneModule.cpp.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <exception>
#include <initializer_list>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/app/PhysicalConstants.h"
#include "core/runtime/Cancel.h"
#include "core/runtime/Progress.h"
#include "core/runtime/Prompter.h"
#include "core/shoaling/ShoalingRun.h"

namespace orvane::pymodule {

namespace py = pybind11;
using namespace pybind11::literals;

inline constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The module's exception types (orvane.Error and its subclasses) and its warning.
extern PyObject* gError;
extern PyObject* gConversionError;
extern PyObject* gCalculationError;
extern PyObject* gFileError;
extern PyObject* gConvergenceError;
extern PyObject* gArgumentTypeError;
extern PyObject* gCalculationWarning;

[[noreturn]] void Raise(PyObject* type, const std::string& text);
// A path argument (str, bytes or path-like) as the system takes it; a NUL is refused.
std::string PathArg(py::handle path);
// Threads for a `jobs` argument: 0 is the cores this process may use.
int Jobs(int jobs);
PhysicalConstants Constants(double gravity, double density, double periodRatio,
                            double gammaTG = 0.42, double bTG = 1.54);
inline const PhysicalConstants kDefaults;

// Messages the core would show in a box: the first error is kept and raised afterwards;
// a question is answered Yes, as the command line's --yes does (the module writes no file
// through a question).
class KeepingPrompter : public Prompter {
public:
    MsgResult Message(MsgKind kind, const std::string& text, MsgButtons buttons) override {
        if ((kind == MsgKind::Error || kind == MsgKind::Warning) && first.empty()) first = text;
        return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::Ok;
    }
    void Plain(const std::string&, const std::string&) override {}
    void Beep() override {}
    [[noreturn]] void RaiseFirst(const char* otherwise) const {
        Raise(gError, first.empty() ? otherwise : first);
    }
    std::string first;
};

// A run's progress: nothing to show; a cancel is the call's own flag.
class QuietProgress : public Progress {
public:
    explicit QuietProgress(const CancelFlag* cancel = nullptr) : cancel_(cancel) {}
    void SetProgressComment(const std::string&) override {}
    void SetProgressPosition(int) override {}
    bool Cancelled() const override { return cancel_ && cancel_->Requested(); }
    void SetStatusLine(const std::string&) override {}
    void Hide() override {}
private:
    const CancelFlag* cancel_;
};

// Runs `work` (no Python objects in it) on a thread of its own while this thread, holding
// the GIL between short waits, lets Python handle signals: Ctrl-C sets `cancel`, the run
// stops at its next step, and KeyboardInterrupt (or whatever the handler raised) leaves
// the call. Other errors of the work are raised here as they are.
template <class F>
void RunInterruptible(CancelFlag& cancel, F&& work) {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::exception_ptr error;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        std::lock_guard lock(mutex);
        finished = true;
        done.notify_all();
    });
    bool interrupted = false;
    for (;;) {
        {
            py::gil_scoped_release release;
            std::unique_lock lock(mutex);
            if (done.wait_for(lock, std::chrono::milliseconds(100), [&] { return finished; })) break;
        }
        if (PyErr_CheckSignals() != 0) {
            interrupted = true;
            cancel.Request(SIGINT);
            break;
        }
    }
    {
        py::gil_scoped_release release;
        worker.join();
    }
    if (interrupted) throw py::error_already_set();
    if (error) std::rethrow_exception(error);
}

// A plain number, None (NaN), a NumPy scalar or a 0-d array, as a double; false for
// anything else.
bool ScalarOf(PyObject* o, double& value);

using DoubleArray = py::array_t<double, py::array::c_style | py::array::forcecast>;
py::array_t<double> ToArray(const std::vector<double>& v);

// The inputs shoal() and velocity_series() share: the model, the bed and the points.
int MethodIndex(py::handle method);
int Pick(const std::string& name, const std::string& value, std::initializer_list<const char*> options);
std::string PointsText(py::handle points);
struct BedOptions {
    py::object slope, profile, obsDepth, distanceColumn, depthColumn;
    std::string xAxis;
    py::object onshoreEnd, offshoreEnd;
};
// The run the core sets up from the bed arguments; its problems as Python's errors.
ShoalingRun BedRun(int method, const BedOptions& b, const PhysicalConstants& constants, KeepingPrompter& prompter);

void BindErrors(py::module_& m);
void BindCalculators(py::module_& m);
void BindShoaling(py::module_& m);
void BindSeriesTools(py::module_& m);
void BindSeriesFiles(py::module_& m);

}  // namespace orvane::pymodule
