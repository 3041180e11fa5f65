"""Labelled and lazy data in, the same kind out: xarray (with dask underneath or not), dask
arrays and pandas. The numbers are always the native functions'; this only unwraps the
values and wraps the results on the caller's coordinates or index."""
import functools

import numpy as np

from orvane import _orvane


def _kind(value):
    """'xarray', 'dask', 'pandas' or None, without importing what the caller does not use."""
    module = type(value).__module__.partition(".")[0]
    if module == "xarray":
        return "xarray"
    if module == "dask" and hasattr(value, "__dask_graph__"):
        return "dask"
    if module == "pandas" and hasattr(value, "index"):
        return "pandas"
    return None


def _argument_error(function, name, value):
    return _orvane.ArgumentTypeError(
        f"{function}: {name} に {type(value).__name__} は使えません。数か数の配列 (NumPy, "
        "xarray, dask, pandas) にして下さい。")


class Calculator:
    """How a calculator's arguments are named, which broadcast and what it returns."""

    def __init__(self, name, native, positional, arrays, outputs):
        self.name, self.native = name, native
        self.positional, self.arrays, self.outputs = positional, arrays, outputs

    def labelled(self, args, kwargs):
        if len(args) > len(self.positional):
            return self.native(*args, **kwargs)  # the native function's own TypeError
        bound = dict(zip(self.positional, args))
        for key in kwargs:
            if key in bound:
                raise TypeError(f"{self.name}() got multiple values for argument '{key}'")
        bound.update(kwargs)
        names = [a for a in self.arrays if a in bound]
        values = [bound.pop(a) for a in names]
        outputs = self.outputs
        if self.name == "bottom_velocity" and bound.get("random"):
            outputs = {"Urms": "m/s", "Us": "m/s"}
        kinds = [_kind(v) for v in values]

        def compute(*arrays):
            result = self.native(**bound, **dict(zip(names, arrays)))
            if result is NotImplemented:
                raise _argument_error(self.name, names[0], arrays[0])
            return result if len(outputs) == 1 else tuple(result[k] for k in outputs)

        if "xarray" in kinds:
            return self._xarray(compute, values, outputs)
        if "dask" in kinds:
            return self._dask(compute, values, outputs)
        if "pandas" in kinds:
            return self._pandas(compute, names, values, kinds, outputs)
        converted = []
        for name, value in zip(names, values):
            try:
                converted.append(np.asarray(value, dtype="float64"))
            except (TypeError, ValueError):
                raise _argument_error(self.name, name, value) from None
        result = compute(*converted)
        return result if len(outputs) == 1 else dict(zip(outputs, result))

    def _xarray(self, compute, values, outputs):
        import xarray as xr
        many = len(outputs) > 1
        result = xr.apply_ufunc(compute, *values, dask="parallelized",
                                output_dtypes=[np.float64] * len(outputs),
                                output_core_dims=[[]] * len(outputs) if many else ((),))
        results = result if many else (result,)
        for (name, units), r in zip(outputs.items(), results):
            r.name = name
            r.attrs = {"units": units} if units else {}
        return xr.Dataset({r.name: r for r in results}) if many else result

    def _dask(self, compute, values, outputs):
        import dask.array as da
        signature = ",".join(["()"] * len(values)) + "->" + ",".join(["()"] * len(outputs))
        many = len(outputs) > 1
        result = da.apply_gufunc(compute, signature, *values, vectorize=False,
                                 meta=tuple(np.empty(0) for _ in outputs) if many else np.empty(0))
        return dict(zip(outputs, result)) if len(outputs) > 1 else result

    def _pandas(self, compute, names, values, kinds, outputs):
        import pandas as pd
        labelled = [(n, v) for n, v, k in zip(names, values, kinds) if k == "pandas"]
        index = labelled[0][1].index
        for name, value in labelled[1:]:
            if not value.index.equals(index):
                raise _orvane.ConversionError(
                    f"{self.name}: {labelled[0][0]} と {name} の index が揃っていません。")
        result = compute(*[np.asarray(v, dtype="float64") if k == "pandas" else v
                           for v, k in zip(values, kinds)])
        if len(outputs) == 1:
            series = pd.Series(result, index=index, name=next(iter(outputs)))
            series.attrs["units"] = next(iter(outputs.values()))
            return series
        frame = pd.DataFrame(dict(zip(outputs, result)), index=index)
        frame.attrs["units"] = dict(outputs)
        return frame


# ---------------------------------------------------------------------------------------
# The two series tools: a time index in, the same index out


def _axis(name, value):
    """(kind, index or coordinate) of a labelled 1-D series, or (None, None)."""
    kind = _kind(value)
    if kind == "pandas":
        return kind, value.index
    if kind == "xarray":
        if getattr(value, "ndim", 1) != 1:
            raise _orvane.ConversionError(f"{name}: 1 次元の DataArray にして下さい。")
        dim = value.dims[0]
        return kind, value[dim] if dim in value.coords else None
    if kind == "dask":
        return kind, None
    return None, None


def _values(value):
    return np.asarray(value, dtype="float64")


def _common_axis(function, named, longest):
    """The index of the result: that of the `longest` argument, or of another as long;
    every labelled argument must lie on its start."""
    axes = {name: _axis(name, value) for name, value in named}
    kinds = {k for k, _ in axes.values() if k in ("pandas", "xarray")}
    if not kinds:
        return None, None
    if len(kinds) > 1:
        raise _orvane.ConversionError(f"{function}: pandas と xarray を混ぜずに渡して下さい。")
    kind = kinds.pop()
    length = len(dict(named)[longest])
    candidates = [axes[longest]] + [axes[n] for n, v in named if len(v) == length]
    index = next((ix for k, ix in candidates if k == kind and ix is not None), None)
    if index is None:
        return kind, None
    for name, (k, ix) in axes.items():
        if k == kind and ix is not None and not np.array_equal(np.asarray(ix),
                                                               np.asarray(index)[:len(ix)]):
            raise _orvane.ConversionError(
                f"{function}: {name} の時刻が {longest} の時刻と揃っていません。")
    return kind, index


def _wrap(kind, index, columns, units, template):
    if kind == "pandas":
        import pandas as pd
        if isinstance(columns, dict):
            frame = pd.DataFrame(columns, index=index)
            frame.attrs["units"] = units
            return frame
        name, = units
        series = pd.Series(columns, index=index, name=name)
        series.attrs["units"] = units[name]
        return series
    import xarray as xr
    dim = template.dims[0]
    coords = {dim: index} if index is not None else {}
    if isinstance(columns, dict):
        return xr.Dataset({n: xr.DataArray(v, dims=(dim,), attrs={"units": units[n]})
                           for n, v in columns.items()}, coords=coords)
    name, = units
    return xr.DataArray(columns, dims=(dim,), coords=coords, name=name,
                        attrs={"units": units[name]})


def velocity_series(native):
    @functools.wraps(native)
    def call(hs, ts, tide, **kwargs):
        named = [("hs", hs), ("ts", ts), ("tide", tide)]
        kind, index = _common_axis("velocity_series", named, "tide")
        if kind is None:
            return native(hs, ts, tide, **kwargs)
        result = native(_values(hs), _values(ts), _values(tide), **kwargs)
        # Every channel is a velocity but the place of the largest one.
        units = {name: "m/s" for name in result}
        if kwargs.get("xmax"):
            units[list(result)[-1]] = "m"
        template = next(v for n, v in named if _kind(v) == "xarray") if kind == "xarray" else None
        return _wrap(kind, index, result, units, template)
    return call


def height_series(native):
    @functools.wraps(native)
    def call(us, tp, tide, **kwargs):
        named = [(n, v) for n, v in (("us", us), ("tp", tp), ("tide", tide)) if np.ndim(v) == 1]
        longest = max(named, key=lambda nv: len(nv[1]))[0] if named else None
        kind, index = _common_axis("height_series", named, longest) if named else (None, None)
        if kind is None:
            return native(us, tp, tide, **kwargs)
        values = [_values(v) if _kind(v) else v for v in (us, tp, tide)]
        result = native(*values, **kwargs)
        template = next(v for n, v in named if _kind(v) == "xarray") if kind == "xarray" else None
        return _wrap(kind, index, result, {"Hs": "m"}, template)
    return call
