import sys; sys.path.insert(0,'/tmp/e2e-scratch'); exec(open('/tmp/e2e-scratch/explore.py').read())
