#pragma once
struct B {};
