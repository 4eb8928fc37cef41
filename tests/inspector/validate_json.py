#!/usr/bin/env python3
"""Checks documents of the command-line inspector against their JSON Schema.

    validate_json.py SCHEMA FILE          FILE holds one JSON document
    validate_json.py --lines SCHEMA FILE  FILE holds one JSON document per line

Prints every violation with the place it was found and exits 1 when there is one, 0 when the
file is valid, 2 when the schema itself is broken or FILE is not JSON.
"""
import json
import os
import sys

import jsonschema


def main(argv):
    lines = argv[:1] == ["--lines"]
    if lines:
        argv = argv[1:]
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    schema_path, document_path = argv
    with open(schema_path, encoding="utf-8") as f:
        schema = json.load(f)
    validator_class = jsonschema.validators.validator_for(schema)
    validator_class.check_schema(schema)
    # The schemas refer to each other by their $id; they are all found beside this one, never
    # fetched from the network.
    store = {}
    folder = os.path.dirname(os.path.abspath(schema_path))
    for name in sorted(os.listdir(folder)):
        if name.endswith(".schema.json"):
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                other = json.load(f)
            validator_class.check_schema(other)
            store[other["$id"]] = other
    resolver = jsonschema.RefResolver.from_schema(schema, store=store)
    validator = validator_class(schema, resolver=resolver,
                                format_checker=validator_class.FORMAT_CHECKER)
    with open(document_path, encoding="utf-8") as f:
        text = f.read()
    try:
        documents = [json.loads(line) for line in text.splitlines()] if lines else [json.loads(text)]
    except json.JSONDecodeError as error:
        print(f"{document_path}: not JSON: {error}", file=sys.stderr)
        return 2
    if not documents:
        print(f"{document_path}: no document", file=sys.stderr)
        return 1
    failures = 0
    for number, document in enumerate(documents, 1):
        for error in validator.iter_errors(document):
            where = "/".join(str(p) for p in error.absolute_path)
            print(f"document {number}, at /{where}: {error.message}", file=sys.stderr)
            failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
