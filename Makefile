# The two commands of the README: make run, make test.
TRIPLES := i686-w64-mingw32 x86_64-w64-mingw32
PORT ?=

.PHONY: deps build test run bench clean

deps:
	scripts/install-deps
	scripts/build-deps $(TRIPLES)

build: deps
	for p in native win32 win64; do cmake --preset $$p && cmake --build --preset $$p || exit 1; done

test: deps
	scripts/run-tests

run: deps
	scripts/run-kvconfig $(PORT)

bench: deps
	cmake --preset bench && cmake --build --preset bench
	cmake --preset win32 && cmake --build --preset win32 --target windows_bench
	scripts/run-benchmarks

clean:
	rm -rf build
