"""Coastal wave analysis from Python: the program's own core, nothing recomputed here.

Calculators on NumPy arrays (wavenumber, airy, rayleigh, bottom_velocity,
random_wave_velocity), shoaling runs (shoal), series files (read_series, write_series)
and the two time-series tools on arrays (velocity_series, height_series). SI units:
m, s, m/s. Errors are orvane.Error and its subclasses, carrying the program's message.
The calculators and the series tools also take xarray, dask and pandas objects and give
back the same kind, on the same coordinates or index.
"""
import functools as _functools

from orvane import _orvane
from orvane._orvane import (B_TG, DENSITY, GAMMA_TG, GRAVITY, PERIOD_RATIO, ArgumentTypeError,
                            CalculationError, CalculationWarning, ConvergenceError,
                            ConversionError, Error, FileError, Series, __version__)
from orvane import _labelled

__doc__ = _orvane.__doc__ or __doc__


def _by_name(name, native=None):
    # Native functions do not pickle; these pickle by name, so Dask ships them as they are.
    native = native or getattr(_orvane, name)

    @_functools.wraps(native)
    def call(*args, **kwargs):
        return native(*args, **kwargs)

    call.__module__, call.__qualname__ = __name__, name
    return call


def _calculator(name, positional, arrays, outputs):
    native = getattr(_orvane, name)
    calculator = _labelled.Calculator(name, native, positional, arrays, outputs)

    @_functools.wraps(native)
    def call(*args, **kwargs):
        result = native(*args, **kwargs)
        if result is NotImplemented:  # xarray, dask, pandas or another array-like
            return calculator.labelled(args, kwargs)
        return result

    call.__module__, call.__qualname__ = __name__, name
    return call


wavenumber = _calculator("wavenumber", ("period", "depth"), ("period", "depth"), {"k": "rad/m"})
airy = _calculator("airy", ("depth", "period", "height", "z"), ("depth", "period", "height", "z"),
                   {"k": "rad/m", "L": "m", "L0": "m", "n": "1", "c": "m/s", "Cg": "m/s",
                    "Ks": "1", "F": "W/m", "u": "m/s", "w": "m/s"})
rayleigh = _calculator("rayleigh", ("a", "p"), ("a", "p"), {"Ap": "", "mean": ""})
bottom_velocity = _calculator(
    "bottom_velocity", ("depth", "period", "height", "slope", "random"),
    ("depth", "period", "height", "slope"),
    {"L0": "m", "Hb": "m", "kh": "1", "U0": "m/s", "Uac": "m/s", "broken": "1", "Ud": "m/s",
     "Ur": "1", "H0": "m", "Uc": "m/s", "Umax": "m/s", "Tc": "s", "R1": "1", "R2": "1"})
random_wave_velocity = _calculator("random_wave_velocity", ("tp", "hrms", "depth"),
                                   ("tp", "hrms", "depth"), {"Urms": "m/s", "Us": "m/s"})
shoal = _by_name("shoal")
compare = _by_name("compare")
fit_thornton_guza = _by_name("fit_thornton_guza")
velocity_series = _by_name("velocity_series", _labelled.velocity_series(_orvane.velocity_series))
height_series = _by_name("height_series", _labelled.height_series(_orvane.height_series))
read_series = _by_name("read_series")
write_series = _by_name("write_series")

__all__ = ["wavenumber", "airy", "rayleigh", "bottom_velocity", "random_wave_velocity", "shoal",
           "compare", "fit_thornton_guza",
           "velocity_series", "height_series", "read_series", "write_series", "Series", "Error",
           "ConversionError", "CalculationError", "FileError", "ConvergenceError",
           "ArgumentTypeError", "CalculationWarning", "GRAVITY", "DENSITY", "PERIOD_RATIO",
           "GAMMA_TG", "B_TG", "__version__"]
