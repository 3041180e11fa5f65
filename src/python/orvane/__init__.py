"""Coastal wave analysis from Python: the program's own core, nothing recomputed here.

Calculators on NumPy arrays (wavenumber, airy, rayleigh, bottom_velocity,
random_wave_velocity), shoaling runs (shoal), series files (read_series, write_series)
and the two time-series tools on arrays (velocity_series, height_series). SI units:
m, s, m/s. Errors are orvane.Error and its subclasses, carrying the program's message.
"""
import functools as _functools

from orvane import _orvane
from orvane._orvane import (B_TG, DENSITY, GAMMA_TG, GRAVITY, PERIOD_RATIO, CalculationError,
                            ConvergenceError, ConversionError, Error, FileError, Series,
                            __version__)

__doc__ = _orvane.__doc__ or __doc__


def _by_name(name):
    # Native functions do not pickle; these pickle by name, so Dask ships them as they are.
    native = getattr(_orvane, name)

    @_functools.wraps(native)
    def call(*args, **kwargs):
        return native(*args, **kwargs)

    call.__module__, call.__qualname__ = __name__, name
    return call


wavenumber = _by_name("wavenumber")
airy = _by_name("airy")
rayleigh = _by_name("rayleigh")
bottom_velocity = _by_name("bottom_velocity")
random_wave_velocity = _by_name("random_wave_velocity")
shoal = _by_name("shoal")
compare = _by_name("compare")
fit_thornton_guza = _by_name("fit_thornton_guza")
velocity_series = _by_name("velocity_series")
height_series = _by_name("height_series")
read_series = _by_name("read_series")
write_series = _by_name("write_series")

__all__ = ["wavenumber", "airy", "rayleigh", "bottom_velocity", "random_wave_velocity", "shoal",
           "compare", "fit_thornton_guza",
           "velocity_series", "height_series", "read_series", "write_series", "Series", "Error",
           "ConversionError", "CalculationError", "FileError", "ConvergenceError", "GRAVITY",
           "DENSITY", "PERIOD_RATIO", "GAMMA_TG", "B_TG", "__version__"]
