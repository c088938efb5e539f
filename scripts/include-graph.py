#!/usr/bin/env python3
"""The includes between the folders of src/ (the system folders of
os/ and qt/ counted as their own): each edge with its number of
includes, marked BACK where the other direction exists too (a circle).

usage: include-graph.py [ROOT]
"""
import collections
import os
import re
import sys

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
src=os.path.join(root,'src')
def folder(path):
    rel=os.path.relpath(path,src).split(os.sep)
    if rel[0] in ('os','qt') and len(rel)>2 and rel[1] in ('posix','windows'): return rel[0]+'/'+rel[1]
    return rel[0]
edges=collections.Counter()
for d,_,fs in os.walk(src):
    for f in fs:
        if not f.endswith(('.h','.cpp')): continue
        p=os.path.join(d,f); a=folder(p)
        for m in re.finditer(r'#include "([^"]+)"',open(p,encoding='utf-8').read()):
            inc=m.group(1)
            t=os.path.join(src,inc)
            if not os.path.exists(t): continue
            b=folder(t)
            if a!=b: edges[(a,b)]+=1
for (a,b),n in sorted(edges.items()): 
    back=' BACK' if (b,a) in edges else ''
    print(f"{a} -> {b} ({n}){back}")
